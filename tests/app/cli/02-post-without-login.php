<?php
$request = array('GET', 'post.php', '', '', 'visitor', 1136073720);
include dirname(__FILE__) . '/request.inc.php';
