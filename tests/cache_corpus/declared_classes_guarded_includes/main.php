<?php
// Guarded class and function files included from several places in a
// request, and what the request sees declared afterwards: every
// inclusion of such a file adds its conditional declarations once more
// (the engine lists classes by their entries), however many times the
// file has been compiled.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "base.php";
$classes_before = count(get_declared_classes());
$functions = get_defined_functions();
$functions_before = count($functions["user"]);
include "shapes.php";
include "shapes.php";
for ($i = 0; $i < $request; $i++) { include "shapes.php"; }
$after = get_declared_classes();
$functions = get_defined_functions();
echo count($after) - $classes_before, " classes, ", count($functions["user"]) - $functions_before, " functions\n";
echo implode(" ", $after), "\n";
$s = new Square(3);
echo get_class($s), " ", get_parent_class($s), " ", $s->area(), " ", $s->describe(), " ", shape_count(), "\n";
print_r(get_object_vars($s));
