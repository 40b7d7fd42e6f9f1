--TEST--
Recursion 100,000 calls deep runs, or ends in a clean fatal error; Ackermann(3, 7); deep recursion through includes, eval and callbacks
--ARGS--
-n
--FILE--
<?php
function ack($m, $n) {
    if ($m == 0) return $n + 1;
    if ($n == 0) return ack($m - 1, 1);
    return ack($m - 1, ack($m, $n - 1));
}
echo "ack(3, 7) = ", ack(3, 7), "\n";
function through_eval($n) { return $n == 0 ? 0 : 1 + eval('return through_eval(' . ($n - 1) . ');'); }
echo through_eval(3000), "\n";
function through_callback($n) { return $n == 0 ? 0 : 1 + call_user_func('through_callback', $n - 1); }
echo through_callback(3000), "\n";
$GLOBALS['left'] = 2000;
include 'self.inc';
echo "includes: ", $GLOBALS['reached'], "\n";
function sum_to($n) { return $n == 0 ? 0 : $n + sum_to($n - 1); }
echo sum_to(100000), "\n";
--INCLUDE-- self.inc
<?php
if ($GLOBALS['left']-- > 0) include 'self.inc';
else $GLOBALS['reached'] = "bottom";
--EXPECTREGEX--
ack\(3, 7\) = 1021
3000
3000
includes: bottom
(5000050000|
Fatal error: Maximum call stack size of \d+ bytes reached\. Infinite recursion\? in .* on line 17)
