<?php
error_reporting(0);
$n = brisko_heap_get("failing", "n") + 1;
brisko_heap_set("failing", "n", $n);
if ($n >= 10000) echo $n, "\n";
no_such_function();
echo "not reached\n";
