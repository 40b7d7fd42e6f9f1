<?php
$request = array('POST', 'post.php', '', 'delete=2', 'bobsess', 1136075340);
include dirname(__FILE__) . '/request.inc.php';
