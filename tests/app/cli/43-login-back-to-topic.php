<?php
$request = array('POST', 'login.php', '', 'name=BOB&password=hunter22&back=topic.php%3Fid%3D1', 'bobsess2', 1136076180);
include dirname(__FILE__) . '/request.inc.php';
