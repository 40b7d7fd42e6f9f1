--TEST--
A value that contains itself through a reference is stored with the repeat cut to null, with one warning
--FILE--
<?php
$a = array("one" => 1);
$a["self"] = &$a;
var_dump(brisko_heap_set("cyc", "a", $a));
--REQUEST--
<?php
$b = brisko_heap_get("cyc", "a");
echo $b["one"], "\n";
var_dump(is_array($b["self"]), is_null($b["self"]["self"]));
--EXPECTF--

Warning: Cannot copy a value that contains itself: the repeated array is stored as NULL in %s on line 4
bool(true)
1
bool(true)
bool(true)
