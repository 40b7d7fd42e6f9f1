<?php
$request = array('POST', 'post.php', '', 'topic=1&body=Welcome%2C+Ann%21%0ANice+to+be+here+%3A-%28', 'bobsess', 1136074740);
include dirname(__FILE__) . '/request.inc.php';
