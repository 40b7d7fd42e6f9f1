<?php
$request = array('POST', 'post.php', '', 'topic=77&body=Anyone%3F', 'bobsess', 1136074860);
include dirname(__FILE__) . '/request.inc.php';
