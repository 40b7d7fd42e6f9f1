--TEST--
@ sets error_reporting() to 0 inside what it silences, functions called included, and restores the level afterwards
--ARGS--
-n
--FILE--
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
--REQUEST--
<?php
echo error_reporting(), "\n";
error_reporting(E_ALL);
function quit() { exit("left inside @\n"); }
@quit();
--REQUEST--
<?php
echo error_reporting(), "\n";
--EXPECTF--
2047 0 2047
inside: 0
string(0) ""
after: 2047
2 then 2047
0 2047
||

Notice: Undefined index:  missing in %s on line 14
|
went on

Fatal error: Call to undefined function: undefined_function() in %s on line 17
2039
left inside @
2039
