<?php
$x = brisko_heap_get("fresh", "linked");
$y = $x;
$y[0] = 5;
echo $x[0], " ", $y[0], "\n";
$p = brisko_heap_get("fresh", "shared");
$q = $p;
$q[0] = "changed";
$q[2][0] = "inner";
echo $p[0], " ", $p[1], " ", $p[2][0], " ", $q[0], " ", $q[2][0], "\n";
$d = brisko_heap_get("fresh", "deep");
$levels = 0;
while (is_array($d)) { $levels++; $d = count($d) ? $d[0] : null; }
echo $levels, "\n";
