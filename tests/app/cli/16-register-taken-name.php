<?php
$request = array('POST', 'register.php', '', 'name=ANN&email=bob%40example.com&password=hunter22&password2=hunter22', 'bobsess', 1136074560);
include dirname(__FILE__) . '/request.inc.php';
