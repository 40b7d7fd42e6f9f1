--TEST--
get_included_files (and get_required_files) lists the main script and each file it ran once, in the order first run; get_defined_functions splits internal from user functions, user ones lower-cased in the order declared, in every request
--ARGS--
-n --repeat 2
--INCLUDE-- lib_a.php
<?php
function Alpha_One() { return 1; }
--INCLUDE-- lib_b.php
<?php
function beta_two() { return 2; }
--INCLUDE-- lib_c.php
<?php
$seen_c = isset($seen_c) ? $seen_c + 1 : 1;
--FILE--
<?php
include "lib_b.php";
include "lib_c.php";
include_once "lib_a.php";
include_once "lib_b.php";
require "lib_c.php";
echo $seen_c, "\n";
$files = get_included_files();
echo count($files), "\n";
foreach ($files as $f) echo basename($f), " ", $f[0] == "/" ? "absolute" : "relative", "\n";
var_dump(get_required_files() === $files);
$fns = get_defined_functions();
var_dump(array_keys($fns), $fns['user']);
var_dump(in_array('strlen', $fns['internal']), in_array('get_included_files', $fns['internal']), in_array('alpha_one', $fns['internal']));
var_dump(get_included_files(1));
--EXPECTF--
2
4
%s.php absolute
lib_b.php absolute
lib_c.php absolute
lib_a.php absolute
bool(true)
array(2) {
  [0]=>
  string(8) "internal"
  [1]=>
  string(4) "user"
}
array(2) {
  [0]=>
  string(8) "beta_two"
  [1]=>
  string(9) "alpha_one"
}
bool(true)
bool(true)
bool(false)

Warning: Wrong parameter count for get_included_files() in %s on line %d
NULL
2
4
%s.php absolute
lib_b.php absolute
lib_c.php absolute
lib_a.php absolute
bool(true)
array(2) {
  [0]=>
  string(8) "internal"
  [1]=>
  string(4) "user"
}
array(2) {
  [0]=>
  string(8) "beta_two"
  [1]=>
  string(9) "alpha_one"
}
bool(true)
bool(true)
bool(false)

Warning: Wrong parameter count for get_included_files() in %s on line %d
NULL
