<?php
$request = array('GET', 'index.php', '', '', 'annsess', 1136075460);
include dirname(__FILE__) . '/request.inc.php';
