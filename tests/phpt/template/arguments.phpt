--TEST--
Arguments: wrong counts, the caller's variables keep their types, values of every type, array elements left as they were (converted on copies)
--INCLUDE-- t.html
{a}|{b}|{c}|{d}
--FILE--
<?php
$t = brisko_template_load("t.html");
$copy = (string)$t;
$ref = (string)$t;
brisko_template_assign($copy, "a", 1.5);
$alias = &$ref;
brisko_template_assign($ref, "b", true);
var_dump(is_string($copy), is_int($ref));
$vals = array("c" => 7, "d" => null, 0 => "list");
var_dump(brisko_template_assign_array($t, $vals));
var_dump($vals);
echo brisko_template_get($t);
var_dump(brisko_template_get());
var_dump(brisko_template_fetch($t));
var_dump(brisko_template_assign_array($t, "x", 1));
var_dump(brisko_template_assign_array($t, "not an array"));
var_dump(brisko_template_attach($t, "b", "junk"));
var_dump(brisko_template_load(array()));
--EXPECTF--
bool(true)
bool(false)
bool(false)
array(3) {
  ["c"]=>
  int(7)
  ["d"]=>
  NULL
  [0]=>
  string(4) "list"
}
1.5|1|7|

Warning: Wrong parameter count for brisko_template_get() in %s on line %d
NULL

Warning: Wrong parameter count for brisko_template_fetch() in %s on line %d
NULL

Warning: Wrong parameter count for brisko_template_assign_array() in %s on line %d
NULL

Warning: argument to keys() should be an array in %s on line %d
NULL

Warning: argument to id should be template_id in %s on line %d
bool(false)
NULL
