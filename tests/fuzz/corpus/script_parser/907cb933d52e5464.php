<?php
error_reporting(E_ALL);
function level() { return error_reporting(); }
function noisy() { echo "inside: ", error_reporting(), "\n"; return $undefined . 1 / 0; }
echo level(), " ", @level(), " ", level(), "\n";
$v = @noisy();
var_dump($v);
echo "after: ", error_reporting(), "\n";
function raise() { error_reporting(E_WARNING); return error_reporting(); }
echo @raise(), " then ", error_reporting(), "\n";
echo @(level() + @level()), " ", error_reporting(), "\n";
$arr = array();
echo @$arr["missing"], "|", @$nothing, "|\n";
echo $arr["missing"], "|\n";
@include "no_such_file.php";
echo "went on\n";
@undefined_function();
