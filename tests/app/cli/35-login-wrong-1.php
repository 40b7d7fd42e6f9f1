<?php
$request = array('POST', 'login.php', '', 'name=bob&password=wrong', 'bobsess', 1136075700);
include dirname(__FILE__) . '/request.inc.php';
