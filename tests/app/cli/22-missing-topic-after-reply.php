<?php
$request = array('GET', 'topic.php', 'id=77', '', 'bobsess', 1136074920);
include dirname(__FILE__) . '/request.inc.php';
