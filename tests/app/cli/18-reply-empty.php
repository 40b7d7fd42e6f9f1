<?php
$request = array('POST', 'post.php', '', 'topic=1&body=+%09+', 'bobsess', 1136074680);
include dirname(__FILE__) . '/request.inc.php';
