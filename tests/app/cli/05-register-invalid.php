<?php
$request = array('POST', 'register.php', '', 'name=1ann&email=ann%40localhost&password=abcdef&password2=abcdeg', 'annsess', 1136073900);
include dirname(__FILE__) . '/request.inc.php';
