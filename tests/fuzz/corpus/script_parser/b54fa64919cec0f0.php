<?php
function f() { var_dump(func_num_args(), func_get_args(), func_get_arg(1), func_get_arg(5)); }
f(1, "two", array(3));
var_dump(func_num_args());
class Base { var $a = 1; function hello() {} }
class Child extends Base { var $b = array(2); function bye() {} }
$c = new Child();
var_dump(get_class($c), get_class("x"), get_parent_class($c), get_parent_class("child"), get_parent_class(new Base()));
print_r(get_object_vars($c));
print_r(get_class_methods("Child"));
