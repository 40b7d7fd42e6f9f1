--TEST--
Group and key are used in their string form; references passed as group or key stay converted; a group name with a NUL byte
--FILE--
<?php
$g = 12;
$k = 3.5;
function by_ref(&$group, &$key) { brisko_heap_set($group, $key, "v"); }
by_ref($g, $k);
var_dump($g, $k);
$h = 12;
brisko_heap_set($h, 1, "w");
var_dump($h);
echo brisko_heap_get("12", "3.5"), brisko_heap_get(12, "1"), "\n";
brisko_heap_set("grp\0tail", "k", "nul");
echo brisko_heap_get("grp", "k"), "\n";
var_dump(brisko_heap_get_index("grp\0tail"));
echo count(brisko_heap_get_index("grp")), "\n";
--EXPECT--
string(2) "12"
string(3) "3.5"
int(12)
vw
nul
NULL
1
