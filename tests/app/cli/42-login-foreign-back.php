<?php
$request = array('POST', 'login.php', '', 'name=bob&password=hunter22&back=http%3A%2F%2Fevil.example%2F', 'carolsess', 1136076120);
include dirname(__FILE__) . '/request.inc.php';
