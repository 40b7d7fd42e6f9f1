<?php
$b = brisko_heap_get("cyc", "a");
echo $b["one"], "\n";
var_dump(is_array($b["self"]), is_null($b["self"]["self"]));
