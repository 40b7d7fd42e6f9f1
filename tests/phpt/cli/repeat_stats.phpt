--TEST--
brisko-php runs FILE and the further requests in order, the whole list --repeat times, and reports its counters
--ARGS--
-n --repeat 2 --stats
--FILE--
<?php
$n = isset($n) ? $n + 1 : 1;
echo "first request, fresh globals: $n\n";
--REQUEST--
<?php
echo "second request sees no variable from the first: ", isset($n) ? "wrong" : "right", "\n";
--EXPECT--
first request, fresh globals: 1
second request sees no variable from the first: right
first request, fresh globals: 1
second request sees no variable from the first: right
--EXPECT_STDERR--
compilations=4
requests=4
--EXPECT_EXIT--
0
