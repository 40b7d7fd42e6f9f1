--TEST--
Wrong argument counts are reported and return null
--FILE--
<?php
var_dump(brisko_heap_set("a", "b"));
var_dump(brisko_heap_set("a", "b", 1, 2));
var_dump(brisko_heap_get("a"));
var_dump(brisko_heap_get_index());
var_dump(brisko_heap_get("a", "b"));
--EXPECTF--

Warning: Wrong parameter count for brisko_heap_set() in %s on line 2
NULL

Warning: Wrong parameter count for brisko_heap_set() in %s on line 3
NULL

Warning: Wrong parameter count for brisko_heap_get() in %s on line 4
NULL

Warning: Wrong parameter count for brisko_heap_get_index() in %s on line 5
NULL
NULL
