<?php
$request = array('GET', 'topic.php', 'id=1', '', 'annsess', 1136074320);
include dirname(__FILE__) . '/request.inc.php';
