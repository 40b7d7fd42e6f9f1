--TEST--
include/require and their _once forms: scope, return values, once under two names, missing files
--ARGS--
-n
--INCLUDE-- lib/vars.php
<?php
$fromlib = "lib sees $outer";
function libfunc() { return "libfunc"; }
return "returned";
--INCLUDE-- lib/once.php
<?php
echo "once ran\n";
function oncefunc() { return "oncefunc"; }
--INCLUDE-- lib/plain.php
<?php echo "plain\n";
--FILE--
<?php
$outer = "outer";
$r = include "lib/vars.php";
echo $fromlib, " ", $r, " ", libfunc(), "\n";
function scoped() { $outer = "local"; include "lib/plain.php"; $x = require "lib/plain.php"; return $x; }
echo scoped(), "\n";
echo include_once "lib/once.php", "\n";
echo include_once "lib/once.php", "\n";
echo require_once "./lib/once.php", "\n";
echo require_once getcwd() . "/lib/../lib/once.php", "\n";
echo oncefunc(), "\n";
$v = @include "lib/missing.php";
echo var_export($v, true), "\n";
include "lib/missing.php";
echo "still here\n";
function load_missing() { return include "lib/none.php"; }
var_dump(load_missing());
require "lib/missing.php";
echo "not reached\n";
--EXPECTF--
lib sees outer returned libfunc
plain
plain
1
once ran
1
1
1
1
oncefunc
false

Warning: main(lib/missing.php): failed to open stream: No such file or directory in %s on line 14

Warning: main(): Failed opening 'lib/missing.php' for inclusion (include_path='%s') in %s on line 14
still here

Warning: load_missing(lib/none.php): failed to open stream: No such file or directory in %s on line 16

Warning: load_missing(): Failed opening 'lib/none.php' for inclusion (include_path='%s') in %s on line 16
bool(false)

Warning: main(lib/missing.php): failed to open stream: No such file or directory in %s on line 18

Fatal error: main(): Failed opening required 'lib/missing.php' (include_path='%s') in %s on line 18
