<?php
// The same chain reached through a loader in some requests and by direct
// requires in others; the leaf is included last either way.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$loaded_by = "main";
if ($request % 2) {
    include "loader.php";
    require_once "leaf.php";
} else {
    require_once "base.php";
    require_once "branch.php";
    require_once "leaf.php";
}
include_once "branch.php";
$l = new Leaf();
$l->add(1);
$l->add(2);
$b = new Branch();
echo $request, " ", $loaded_by, ": ", $l->render(), " ", $b->render(), " ", get_parent_class($l), "\n";
echo "   ", implode(",", get_class_methods("leaf")), " / ", implode(",", array_keys(get_object_vars($l))), "\n";
