<?php
$request = array('GET', 'topic.php', 'id=2', '', 'annsess', 1136075520);
include dirname(__FILE__) . '/request.inc.php';
