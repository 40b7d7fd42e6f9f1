<?php
$request = array('GET', 'topic.php', 'id=1%20OR%201', '', '', 1136075220);
include dirname(__FILE__) . '/request.inc.php';
