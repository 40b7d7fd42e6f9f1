--TEST--
Replacing a stored value keeps its key's place in the listing; integer-like keys are found but not listed
--FILE--
<?php
brisko_heap_set("g", "b", 1);
brisko_heap_set("g", "a", 2);
brisko_heap_set("g", "5", "five");
--REQUEST--
<?php
brisko_heap_set("g", "b", array("replaced"));
brisko_heap_set("g", "c", 3);
print_r(brisko_heap_get_index("g"));
print_r(brisko_heap_get("g", "b"));
echo brisko_heap_get("g", "5"), " ", brisko_heap_get("g", 5), "\n";
var_dump(brisko_heap_get_index("missing"));
var_dump(brisko_heap_get("missing", "b"));
var_dump(brisko_heap_get("g", "missing"));
--EXPECT--
Array
(
    [0] => b
    [1] => a
    [2] => c
)
Array
(
    [0] => replaced
)
five five
NULL
NULL
NULL
