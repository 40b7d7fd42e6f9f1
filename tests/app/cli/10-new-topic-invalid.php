<?php
$request = array('POST', 'post.php', '', 'subject=Hi&body=Cheap+casino+%26+%22deals%22+%3Chere%3E', 'annsess', 1136074200);
include dirname(__FILE__) . '/request.inc.php';
