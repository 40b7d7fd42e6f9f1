<?php
var_dump(brisko_heap_get("app", "int"));
var_dump(brisko_heap_get("app", "float"));
var_dump(brisko_heap_get("app", "bool"));
var_dump(brisko_heap_get("app", "null"));
$b = brisko_heap_get("app", "bytes");
echo strlen($b), " ", str_replace("\0", "0", $b), "\n";
var_dump(brisko_heap_get("app", "nested"));
var_dump(brisko_heap_get("app", "object"));
var_dump(brisko_heap_get("app", "objects"));
