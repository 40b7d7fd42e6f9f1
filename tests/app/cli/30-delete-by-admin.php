<?php
$request = array('POST', 'post.php', '', 'delete=2', 'annsess', 1136075400);
include dirname(__FILE__) . '/request.inc.php';
