<?php
function add($a, $b) { return $a + $b; }
function cmp($a, $b) { return $a == $b ? 0 : ($a < $b ? -1 : 1); }
function rev($a, $b) { return strcmp($b, $a); }
function touch_it(&$x) { $x = "changed"; return $x; }
class K { var $n = 10; function plus($x) { $this->n += $x; return $this->n; } function twice($x) { return $x * 2; } }
echo call_user_func("add", 2, 3), "\n";
echo call_user_func("ADD", 2, 3), "\n";
echo call_user_func_array("add", array(4, 5)), "\n";
echo call_user_func("strtoupper", "abc"), "\n";
$v = "orig"; echo call_user_func("touch_it", $v), " ", $v, "\n";
$k = new K;
echo call_user_func(array($k, "plus"), 5), " ", $k->n, "\n";
$r = array(); $r[0] =& $k; $r[1] = "plus"; echo call_user_func($r, 5), " ", $k->n, "\n";
echo call_user_func(array("K", "twice"), 21), "\n";
$a = array(3, 1, 2, 10); usort($a, "cmp"); echo implode(",", $a), "\n";
$b = array("x" => 3, "y" => 1, "z" => 2); uasort($b, "cmp"); foreach ($b as $key => $val) echo "$key=$val "; echo "\n";
$c = array("b" => 1, "a" => 2, "c" => 3); uksort($c, "rev"); echo implode(",", array_keys($c)), "\n";
print_r(array_map("strtoupper", array("a" => "x", "b" => "y")));
print_r(array_map(null, array(1, 2)));
print_r(array_map("add", array(1, 2), array(10, 20, 30)));
print_r(array_filter(array(1, 0, 2, "", null, "a")));
function odd($x) { return $x & 1; }
print_r(array_filter(array("a" => 1, "b" => 2, "c" => 3), "odd"));
var_dump(call_user_func("nosuch", 1));
var_dump(call_user_func(42));
var_dump(call_user_func(array(1, 2)));
var_dump(call_user_func_array("add", "notarray"));
$z = array(2, 1); var_dump(usort($z, "nosuch")); echo implode(",", $z), "\n";
var_dump(array_map("nosuch", array(1)));
var_dump(array_map("strrev", "notarray"));
var_dump(array_filter(array(1), "nosuch"));
function randcmp($a, $b) { return rand(-1, 1); }
$big = range(1, 200); usort($big, "randcmp"); echo count($big), " ", array_sum($big), "\n";
function grab($a, $b) { global $s; $s = array(); return $a - $b; }
$s = array(5, 4, 3); usort($s, "grab"); echo implode(",", $s), "\n";
