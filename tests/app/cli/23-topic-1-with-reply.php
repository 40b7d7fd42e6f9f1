<?php
$request = array('GET', 'topic.php', 'id=1', '', 'bobsess', 1136074980);
include dirname(__FILE__) . '/request.inc.php';
