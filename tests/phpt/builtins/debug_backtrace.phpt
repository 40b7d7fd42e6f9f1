--TEST--
debug_backtrace: the calling functions innermost first, with the place of each call, methods with their object's class, copies of the arguments, includes and eval as frames
--ARGS--
-n
--INCLUDE-- inc.php
<?php
return trace_here("from include");
--FILE--
<?php
error_reporting(E_ALL);
function show($trace) {
    foreach ($trace as $i => $f) {
        echo "#$i ", isset($f["class"]) ? $f["class"] . $f["type"] : "", $f["function"];
        echo "(", isset($f["args"]) ? implode(", ", $f["args"]) : "-", ")";
        echo isset($f["file"]) ? " " . basename($f["file"]) . ":" . $f["line"] : " [no place]", "\n";
    }
}
function trace_here($x) { return debug_backtrace(); }
function outer($a, $b) { return inner($a + 1); }
function inner($n) { return trace_here("deep", $n); }
class Shape {
    function area($s) { return outer($s, "side"); }
}
show(debug_backtrace());
echo "--\n";
show(outer(1, 2));
echo "--\n";
$s = new Shape;
show($s->area(3));
echo "--\n";
show(include "inc.php");
echo "--\n";
show(eval('return trace_here("evaled");'));
echo "--\n";
show(call_user_func("trace_here", "callback"));
echo "--\n";
// the arguments are copies: changing them changes nothing in the frames
function change(&$v) { $t = debug_backtrace(); $t[0]["args"][0] = "changed"; return $v; }
$value = "kept";
var_dump(change($value), $value);
var_dump(debug_backtrace(1));
--EXPECTF--
--
#0 trace_here(deep, 2) %s:12
#1 inner(2) %s:11
#2 outer(1, 2) %s:18
--
#0 trace_here(deep, 4) %s:12
#1 inner(4) %s:11
#2 outer(3, side) %s:14
#3 shape->area(3) %s:21
--
#0 trace_here(from include) inc.php:2
#1 include(%sinc.php) %s:23
--
#0 trace_here(evaled) %s : eval()'d code:1
#1 eval(-) %s:25
--
#0 trace_here(callback) %s:27
--
string(4) "kept"
string(4) "kept"

Warning: Wrong parameter count for debug_backtrace() in %s on line 33
NULL
