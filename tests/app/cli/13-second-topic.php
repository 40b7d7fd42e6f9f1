<?php
$request = array('POST', 'post.php', '', 'subject=Opening+hours&body=When+are+you+open%3F', 'annsess', 1136074380);
include dirname(__FILE__) . '/request.inc.php';
