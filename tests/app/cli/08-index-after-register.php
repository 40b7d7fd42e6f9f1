<?php
$request = array('GET', 'index.php', '', '', 'annsess', 1136074080);
include dirname(__FILE__) . '/request.inc.php';
