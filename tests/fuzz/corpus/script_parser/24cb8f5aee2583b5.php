<?php
$config = array("db" => "mysql");
$count = 1;
function read_cfg() { return $GLOBALS["config"]["db"]; }
function bump() { $GLOBALS['count']++; $GLOBALS["made"]["x"] = "new"; }
function drop() { unset($GLOBALS['count']); return isset($GLOBALS['count']) ? "still" : "gone"; }
echo read_cfg(), "\n";
bump(); bump();
echo $count, $made["x"], "\n";
echo drop(), isset($count) ? " set" : " unset", "\n";
$name = "config";
function dyn($n) { return count($GLOBALS[$n]); }
echo dyn($name), "\n";
