<?php
$request = array('GET', 'topic.php', 'id=1', '', 'bobsess2', 1136076240);
include dirname(__FILE__) . '/request.inc.php';
