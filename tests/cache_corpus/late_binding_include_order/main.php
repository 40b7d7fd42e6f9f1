<?php
// A subclass file that includes its parent itself (the PEAR pattern) is
// bound when its declaration runs; included after the parent, it binds at
// once. The member order tells which happened.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 2) include "a.php";
include "b.php";
$b = new B();
echo $request, ": ", implode(",", array_keys(get_object_vars($b))), " / ",
     implode(",", get_class_methods("B")), " / ", $b->hello(), "\n";
