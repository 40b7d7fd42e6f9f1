<?php
$request = array('GET', 'register.php', '', '', 'annsess', 1136073840);
include dirname(__FILE__) . '/request.inc.php';
