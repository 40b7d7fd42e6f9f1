<?php
require_once "lib/util.php";
include_once "lib/util.php";
require "lib/data.php";
$x = include "lib/value.php";
echo util_join(array("a", "b", "c")), "\n";
echo $data["name"], " ", count($data["list"]), "\n";
echo $x, "\n";
$y = include "lib/value.php";
echo $x + $y, "\n";
echo (include_once "lib/util.php") ? "again-true" : "again-false", "\n";
