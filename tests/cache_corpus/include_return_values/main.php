<?php
// What includes return: arrays, objects, scalars, an early return, the 1
// of a file without return, and what the engine returns when it cannot.
$cfg = include "returns/array.php";
echo $cfg["db"]["host"], ":", implode("/", $cfg["db"]["ports"]), " ", var_export($cfg["debug"], true), "\n";
$cfg["db"]["ports"][] = 1;
$again = include "returns/array.php";
echo count($again["db"]["ports"]), "\n";
$mode = "early";
echo include "returns/early.php", " ", $early_ran, "; ";
$mode = "late";
echo include "returns/early.php", " ", $early_ran, "\n";
echo var_export(include "returns/nothing.php", true), " ", var_export(require "returns/nothing.php", true), "\n";
$o = require_once "returns/object.php";
echo get_class($o), " ", $o->get("a") + $o->get("b"), " ", var_export(require_once "returns/object.php", true), "\n";
foreach (array("float", "null", "false", "string", "negative", "other") as $which) {
    echo $which, "=", var_export(include "returns/scalars.php", true), " ";
}
echo "\n";
