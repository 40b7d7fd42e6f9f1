<?php
$request = array('POST', 'register.php', '', 'name=Bob&email=bob%40example.com&password=hunter22&password2=hunter22', 'bobsess', 1136074620);
include dirname(__FILE__) . '/request.inc.php';
