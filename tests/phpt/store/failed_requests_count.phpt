--TEST--
Requests that end in a fatal error still count towards the 10,001 after which the process ends with status 0
--ARGS--
--repeat 10005
--FILE--
<?php
error_reporting(0);
$n = brisko_heap_get("failing", "n") + 1;
brisko_heap_set("failing", "n", $n);
if ($n >= 10000) echo $n, "\n";
no_such_function();
echo "not reached\n";
--EXPECT--
10000
10001
--EXPECT_EXIT--
0
