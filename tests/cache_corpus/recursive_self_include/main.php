<?php
// A file that includes itself while it runs: every level is a new
// include of the same cached code, with statics that start afresh.
$path = array();
include "walk.php";
echo implode(" ", $path), " depth=", $depth, "\n";
$level = 0;
$node = array("name" => "root", "kids" => array(
    array("name" => "a", "kids" => array(array("name" => "a1"), array("name" => "a2"))),
    array("name" => "b"),
));
include "tree.php";
