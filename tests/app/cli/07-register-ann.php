<?php
$request = array('POST', 'register.php', '', 'name=Ann&email=Ann%40Example.ORG&password=secret1&password2=secret1', 'annsess', 1136074020);
include dirname(__FILE__) . '/request.inc.php';
