<?php
// Functions, recursion, defaults, references and static variables.
function fact($n) { return $n <= 1 ? 1 : $n * fact($n - 1); }
function greet($who = "world", $punct = "!") { return "Hello, " . $who . $punct; }
function add_one(&$x) { $x = $x + 1; }
function counter() {
    static $calls = 0, $log = array("start");
    $calls++;
    $log[] = $calls;
    return $calls . ":" . count($log);
}
function fib($n) { if ($n < 2) { return $n; } return fib($n - 1) + fib($n - 2); }

echo fact(10), "\n";
echo greet(), " ", greet("brisko", "?"), "\n";
$v = 41;
add_one($v);
echo $v, "\n";
echo counter(), " ", counter(), " ", counter(), "\n";
echo fib(15), "\n";
$s = "";
for ($i = 0; $i < 5; $i++) { $s .= chr(65 + $i); }
echo $s, " ", strlen($s), "\n";
$a = array("x" => 1, "y" => array(2, 3), 4);
$b = $a;
$b["y"][] = 5;
echo count($a["y"]), count($b["y"]), "\n";
$r = &$a["x"];
$r = 10;
echo $a["x"], "\n";
