<?php
$request = array('POST', 'login.php', '', 'name=nobody&password=hunter22', 'bobsess', 1136075760);
include dirname(__FILE__) . '/request.inc.php';
