<?php
$request = array('POST', 'post.php', '', 'subject=Parking&body=Is+there+parking+%3B-%29', 'annsess', 1136074440);
include dirname(__FILE__) . '/request.inc.php';
