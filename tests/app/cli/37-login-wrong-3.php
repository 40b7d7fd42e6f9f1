<?php
$request = array('POST', 'login.php', '', 'name=Bob&password=', 'bobsess', 1136075820);
include dirname(__FILE__) . '/request.inc.php';
