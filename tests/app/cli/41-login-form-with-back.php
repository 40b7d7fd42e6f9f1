<?php
$request = array('GET', 'login.php', 'back=topic.php%3Fid%3D1', '', 'carolsess', 1136076060);
include dirname(__FILE__) . '/request.inc.php';
