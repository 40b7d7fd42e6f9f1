<?php
$request = array('GET', 'post.php', '', '', 'annsess', 1136074140);
include dirname(__FILE__) . '/request.inc.php';
