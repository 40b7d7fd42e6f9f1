<?php
$request = array('GET', 'login.php', '', '', 'visitor', 1136073780);
include dirname(__FILE__) . '/request.inc.php';
