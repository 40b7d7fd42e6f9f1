<?php
$request = array('POST', 'login.php', '', 'name=bob&password=hunter22', 'bobsess', 1136075940);
include dirname(__FILE__) . '/request.inc.php';
