<?php
$n = brisko_heap_get("recycle", "n") + 1;
brisko_heap_set("recycle", "n", $n);
if ($n == 1 || $n >= 10000) echo $n, "\n";
