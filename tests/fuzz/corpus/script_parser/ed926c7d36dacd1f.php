<?php
define("GREETING", "hello");
function greet($who, $how = GREETING, $list = array(1, 2, "k" => E_WARNING), $neg = -5) {
    return "$how $who " . count($list) . $list["k"] . $neg;
}
echo greet("bob"), "|", greet("amy", "hi"), "|", GREET("cy", "yo", array()), "\n";
function swap(&$a, &$b) { $t = $a; $a = $b; $b = $t; }
$x = "left"; $y = "right";
swap($x, $y);
echo "$x $y\n";
function append(&$arr, $v) { $arr[] = $v; return count($arr); }
$list = array();
append($list, 1); append($list, 2);
$deep = array("in" => array());
append($deep["in"], "z");
echo count($list), count($deep["in"]), $deep["in"][0], "\n";
function byval($arr) { $arr[] = "lost"; return count($arr); }
echo byval($list), count($list), "\n";
function fib($n) { return $n < 2 ? $n : fib($n - 1) + fib($n - 2); }
echo fib(15), "\n";
function need($a, $b) { return "[$a][$b]"; }
echo need(1), "\n";
echo need(1, 2, 3), "\n";
function early($v) { if ($v) { return "early"; } echo "late "; }
echo early(true), " ", var_export(early(false), true), "\n";
function noreturn() { }
echo is_null(noreturn()) ? "null" : "value", "\n";
