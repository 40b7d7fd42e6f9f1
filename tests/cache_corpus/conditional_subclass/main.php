<?php
// A subclass declared in an if block, with a different parent in each
// branch; the branch taken changes between requests.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "bases.php";
$use_rich = $request % 3 != 0;
include "view.php";
$v = new View();
echo $request, ": ", $v->show("hi"), " parent=", get_parent_class($v), " ", implode(",", get_class_methods("view")), "\n";
