<?php
brisko_heap_set("g", "b", array("replaced"));
brisko_heap_set("g", "c", 3);
print_r(brisko_heap_get_index("g"));
print_r(brisko_heap_get("g", "b"));
echo brisko_heap_get("g", "5"), " ", brisko_heap_get("g", 5), "\n";
var_dump(brisko_heap_get_index("missing"));
var_dump(brisko_heap_get("missing", "b"));
var_dump(brisko_heap_get("g", "missing"));
