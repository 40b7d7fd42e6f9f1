<?php
$request = array('POST', 'post.php', '', 'subject=Books+wanted&body=Looking+for+old+%5Bb%5DPHP+4%5B%2Fb%5D+books.', 'annsess', 1136074500);
include dirname(__FILE__) . '/request.inc.php';
