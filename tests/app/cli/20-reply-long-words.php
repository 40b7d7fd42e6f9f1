<?php
$request = array('POST', 'post.php', '', 'topic=3&body=See+%5Burl%5Dhttp%3A%2F%2Fexample.org%2Fparking%2Fmap-of-area.html%5B%2Furl%5D+or+shout+Ahhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhh%21', 'bobsess', 1136074800);
include dirname(__FILE__) . '/request.inc.php';
