--TEST--
Fetch indexes are the engine's integers: an index too large to make is refused with a warning, never wrapped to a smaller one
--INCLUDE-- r.tpl
<!-- BEGIN r* -->[{v}]<!-- END r* -->
--FILE--
<?php
$t = brisko_template_load("r.tpl");
brisko_template_fetch_assign($t, "r*", 3, "v", "three");
var_dump(brisko_template_fetch($t, "r*", 4294967299));
var_dump(brisko_template_fetch($t, "r*", 3000000000));
var_dump(brisko_template_fetch_assign($t, "r*", 4294967296, "v", "zero"));
var_dump(brisko_template_fetch_assign_array($t, "r*", 2147483648, array("v" => "two")));
echo brisko_template_get($t);
var_dump(brisko_template_fetch($t, "r*", 3) == brisko_template_fetch($t, "r*", 3));
--EXPECTF--

Warning: Template memory exhausted: instance 4294967299 of block 'r*' would pass the %d bytes a request's templates may take in %s on line %d
NULL

Warning: Template memory exhausted: instance 3000000000 of block 'r*' would pass the %d bytes a request's templates may take in %s on line %d
NULL

Warning: Template memory exhausted: instance 4294967296 of block 'r*' would pass the %d bytes a request's templates may take in %s on line %d
bool(false)

Warning: Template memory exhausted: instance 2147483648 of block 'r*' would pass the %d bytes a request's templates may take in %s on line %d
bool(false)
[{v}][{v}][{v}][three]
bool(true)
