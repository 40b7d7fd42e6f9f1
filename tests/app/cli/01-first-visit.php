<?php
$request = array('GET', 'index.php', '', '', '', 1136073660);
include dirname(__FILE__) . '/request.inc.php';
