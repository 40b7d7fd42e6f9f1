<?php
$request = array('POST', 'register.php', '', 'name=%22%3E%3Cscript%3Ex%3C%2Fscript%3E&email=a%22b%40example.org&password=x', 'annsess', 1136073960);
include dirname(__FILE__) . '/request.inc.php';
