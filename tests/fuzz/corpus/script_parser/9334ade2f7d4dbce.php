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
