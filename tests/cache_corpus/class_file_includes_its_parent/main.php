<?php
// A class file that includes its parent's file itself: compiled before the
// parent exists, its class is bound when the declaration runs. In later
// requests the parent is sometimes already there.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request % 3 == 0) { include_once "base.php"; }
include_once "child.php";
$c = new Child();
print_r(get_object_vars($c));
print_r(get_class_methods("Child"));
echo $c->who(), " ", $c->hello(), " ", serialize($c), "\n";
foreach (get_included_files() as $f) { echo basename($f), " "; }
echo "\n";
