<?php
$request = array('GET', 'index.php', 'page=99', '', '', 1136075160);
include dirname(__FILE__) . '/request.inc.php';
