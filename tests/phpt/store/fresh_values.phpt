--TEST--
A read gives values of their own at every level: elements that were shared or references when stored are independent; arrays nested too deep are cut with a warning
--FILE--
<?php
$a = array(1, 2);
$r = &$a[0];
$s = "shared";
$b = array($s, $s, array($s));
brisko_heap_set("fresh", "linked", $a);
brisko_heap_set("fresh", "shared", $b);
$deep = array();
for ($i = 0; $i < 3000; $i++) { $deep = array($deep); }
brisko_heap_set("fresh", "deep", $deep);
echo "stored\n";
--REQUEST--
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
--EXPECTF--
%AWarning: Cannot copy arrays nested more than 2000 levels deep: the deeper arrays are stored as NULL in %s on line 10
stored
1 5
shared shared shared changed inner
2000
