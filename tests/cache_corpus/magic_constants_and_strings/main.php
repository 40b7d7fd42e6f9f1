<?php
// __FILE__ and __LINE__ in cached code, and interpolation of arrays and
// properties.
include "sub/where.php";
$w = new Where();
$arr = array("key" => "K", "nested" => array("deep" => "D"));
echo $where_base, " ", where_line(), " ", $w->describe($arr), " ", __LINE__, " ", basename(__FILE__), "\n";
echo realpath("sub/where.php") == $w->file ? "file is resolved path" : "file differs: " . $w->file, "\n";
