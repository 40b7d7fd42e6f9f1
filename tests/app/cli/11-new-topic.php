<?php
$request = array('POST', 'post.php', '', 'subject=Hello+%3Cworld%3E+%26+%22friends%22&body=First+%5Bb%5Dbold%5B%2Fb%5D+and+%5Bi%5Dsloping%5B%2Fi%5D+%3A-%29%0D%0ASee+%5Burl%5Dhttp%3A%2F%2Fexample.org%2Fa%3Fb%3D1%26c%3D2%5B%2Furl%5D%07+%3Cscript%3Ealert%281%29%3C%2Fscript%3E', 'annsess', 1136074260);
include dirname(__FILE__) . '/request.inc.php';
