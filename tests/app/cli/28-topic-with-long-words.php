<?php
$request = array('GET', 'topic.php', 'id=3', '', '', 1136075280);
include dirname(__FILE__) . '/request.inc.php';
