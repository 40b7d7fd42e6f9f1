<?php
brisko_heap_set("s", "list", array("x" => array(1, 2)));
$copy = brisko_heap_get("s", "list");
$copy["x"][] = 3;
$copy["y"] = "new";
$ref = &$copy;
$ref["x"] = "gone";
print_r(brisko_heap_get("s", "list"));
$again = brisko_heap_get("s", "list");
$alias = $again;
$alias["x"] = 0;
echo count($again["x"]), "\n";
