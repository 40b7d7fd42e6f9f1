--TEST--
assign_array converts copies of the values: the caller's array and every copy sharing it keep their values
--INCLUDE-- t.tpl
{a}|{b}|{c}|{d}|{e}
<!-- BEGIN r* -->{a}/{b};<!-- END r* -->
--FILE--
<?php
$t = brisko_template_load("t.tpl");
$v = array("a" => 1, "b" => 2.5, "c" => true, "d" => null, "e" => array(1));
$w = $v;
var_dump(brisko_template_assign_array($t, $v));
var_dump($w === $v, is_int($v["a"]), is_float($w["b"]), is_bool($v["c"]), is_null($w["d"]), is_array($v["e"]));
$self = array("a" => "x");
$self["b"] = &$self;
var_dump(brisko_template_fetch_assign_array($t, "r*", 0, $self));
var_dump(is_array($self), is_array($self["b"]), $self["a"]);
$row = array("a" => 7, "b" => "bee");
$copy = $row;
brisko_template_fetch_assign_array($t, "r*", 1, $row);
var_dump($copy["a"] === 7, $row["a"] === 7);
echo brisko_template_get($t);
--EXPECT--
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
string(1) "x"
bool(true)
bool(true)
1|2.5|1||Array
x/Array;7/bee;
