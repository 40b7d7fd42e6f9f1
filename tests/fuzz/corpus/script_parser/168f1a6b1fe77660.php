<?php
var_dump(brisko_heap_set("a", "b"));
var_dump(brisko_heap_set("a", "b", 1, 2));
var_dump(brisko_heap_get("a"));
var_dump(brisko_heap_get_index());
var_dump(brisko_heap_get("a", "b"));
