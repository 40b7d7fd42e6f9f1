<?php
// Functions declared by functions declared by functions.
include "levels.php";
$have = array();
foreach (array("level1", "level2", "level3") as $f) { $have[] = function_exists($f) ? 1 : 0; }
echo implode("", $have), " ", level1();
echo " ", function_exists("level2") ? level2() : "-";
echo " ", function_exists("level3") ? level3() : "-", "\n";
