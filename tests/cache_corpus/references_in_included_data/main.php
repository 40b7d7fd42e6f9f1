<?php
// References into nested arrays set up by an included file.
include "data.php";
$leaf = 42;
$alias[] = 4;
$copy = $tree;
$copy["list"][] = 5;
$node =& find($tree, "a", "b");
$node["d"] = 2;
$words = array("x" => "a", "y" => "b");
append_all($words, "!");
echo $tree["a"]["b"]["c"], " ", count($tree["list"]), count($copy["list"]), " ", implode(",", array_keys($tree["a"]["b"])), " ", implode("", $words), "\n";
