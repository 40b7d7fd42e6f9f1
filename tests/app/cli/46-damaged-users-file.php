<?php
file_put_contents(dirname(__FILE__) . '/guestbook/data/users.dat', 'a:2:{s:3:"ann";O:4:"user":');
$request = array('GET', 'index.php', '', '', '', 1136076360);
include dirname(__FILE__) . '/request.inc.php';
