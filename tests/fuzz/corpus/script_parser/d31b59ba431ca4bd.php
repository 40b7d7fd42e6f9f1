<?php
$g = 12;
$k = 3.5;
function store_in(&$group, &$key) { brisko_heap_set($group, $key, "v"); }
store_in($g, $k);
var_dump($g, $k);
brisko_heap_set($g, 1, "w");
var_dump($g);
echo brisko_heap_get("12", "3.5"), brisko_heap_get(12, "1"), "\n";
print_r(brisko_heap_get_index(12));
brisko_heap_set("grp\0tail", "k", "nul");
echo brisko_heap_get("grp", "k"), "\n";
var_dump(brisko_heap_get_index("grp\0tail"));
echo count(brisko_heap_get_index("grp")), "\n";
