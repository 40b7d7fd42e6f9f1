<?php
$request = array('GET', 'index.php', '', '', 'bobsess', 1136075040);
include dirname(__FILE__) . '/request.inc.php';
