--TEST--
max_execution_time ends a script that loops: a fatal error where it was, output so far kept, the next request runs
--ARGS--
-n -d max_execution_time=1
--FILE--
<?php
echo "before\n";
$i = 0;
while (true) {
    $i++;
}
echo "never\n";
--REQUEST--
<?php
echo "next request runs\n";
--EXPECTF--
before

Fatal error: Maximum execution time of 1 second exceeded in %s on line %d
next request runs
