<?php
$a = array("one" => 1);
$a["self"] = &$a;
var_dump(brisko_heap_set("cyc", "a", $a));
