<?php
$request = array('GET', 'index.php', 'page=2', '', 'bobsess', 1136075100);
include dirname(__FILE__) . '/request.inc.php';
