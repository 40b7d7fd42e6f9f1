<?php
$request = array('GET', 'login.php', 'action=logout', '', 'bobsess', 1136075640);
include dirname(__FILE__) . '/request.inc.php';
