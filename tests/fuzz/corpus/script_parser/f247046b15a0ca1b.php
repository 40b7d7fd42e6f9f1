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
