<?php
$request = array('GET', 'topic.php', 'id=1', '', 'carolsess', 1136076000);
include dirname(__FILE__) . '/request.inc.php';
