<?php
// Classes without members, subclasses of them, and a function without
// statements.
include "marker.php";
include "deep.php";
$e = new Empty2();
$m = new Marker();
echo count(get_class_methods("marker")), count(get_object_vars($m)), " ", get_parent_class($e), " ", $e->depth, " ", var_export(noop(), true), " ", implode(",", array_keys(get_object_vars(new Tagged()))), "|\n";
