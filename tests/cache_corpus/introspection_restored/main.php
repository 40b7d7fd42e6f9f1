<?php
// What a script can learn of classes: names, methods and properties in
// the engine's order, parents, existence, after include from the cache.
include "shapes.php";
include "circle.php";
$c = new CircleShape();
$c->dynamic = "added";
$c->Grow(1);
echo get_class($c), " ", get_parent_class($c), " ", var_export(get_parent_class(new ShapeBase()), true), "\n";
echo implode(",", get_class_methods("CircleShape")), "\n";
echo implode(",", get_class_methods("shapebase")), "\n";
echo implode(",", get_class_methods($c)), "\n";
foreach (get_object_vars($c) as $k => $v) { echo $k, "=", is_array($v) ? implode("", $v) : var_export($v, true), " "; }
echo "\n";
foreach (array("area", "AREA", "grow", "getname", "missing") as $m) { echo $m, method_exists($c, $m) ? "+" : "-", " "; }
echo class_exists("circleshape") ? "class" : "-", " ", class_exists("Nope") ? "nope" : "-", " ", $c->area(), "\n";
