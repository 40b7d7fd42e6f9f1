<?php
$request = array('POST', 'login.php', '', 'name=bob&password=wrong', 'bobsess', 1136075880);
include dirname(__FILE__) . '/request.inc.php';
