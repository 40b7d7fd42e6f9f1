--TEST--
Recursion has no fixed depth limit; runaway recursion ends in a fatal error, not a crash
--ARGS--
-n
--FILE--
<?php
function depth($n) { return $n == 0 ? 0 : 1 + depth($n - 1); }
echo depth(500), "\n";
function sum($arr, $i) { if ($i >= count($arr)) return 0; return $arr[$i] + sum($arr, $i + 1); }
echo sum(range(1, 100), 0), "\n";
function forever($n) { return forever($n + 1); }
forever(0);
echo "not reached\n";
--REQUEST--
<?php
echo "next request fine\n";
--EXPECTF--
500
5050

Fatal error: Maximum call stack size of %d bytes reached. Infinite recursion? in %s on line 6
next request fine
