--TEST--
The process serves 10,000 requests, ends with status 0 at the end of its 10,001st, and its store ends with it
--ARGS--
--repeat 10005
--FILE--
<?php
$n = brisko_heap_get("recycle", "n") + 1;
brisko_heap_set("recycle", "n", $n);
if ($n == 1 || $n >= 10000) echo $n, "\n";
--EXPECT--
1
10000
10001
--EXPECT_EXIT--
0
