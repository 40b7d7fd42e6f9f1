--TEST--
max_execution_time is wall-clock time: sleep() and recursion end at the limit too
--ARGS--
-n -d max_execution_time=2
--FILE--
<?php
$t = time();
sleep(30);
echo "never\n";
--REQUEST--
<?php
function deep($n) { return $n > 0 ? deep($n - 1) + 1 : 0; }
while (true) { deep(50); }
--EXPECTF--

Fatal error: Maximum execution time of 2 seconds exceeded in %s on line %d

Fatal error: Maximum execution time of 2 seconds exceeded in %s on line %d
