--TEST--
func_get_args and kin inside and outside functions; class and object inspection with lower-cased names
--ARGS--
-n
--FILE--
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
--EXPECTF--

Warning: func_get_arg():  Argument 5 not passed to function in %s on line 2
int(3)
array(3) {
  [0]=>
  int(1)
  [1]=>
  string(3) "two"
  [2]=>
  array(1) {
    [0]=>
    int(3)
  }
}
string(3) "two"
bool(false)

Warning: func_num_args():  Called from the global scope - no function context in %s on line 4
int(-1)
string(5) "child"
bool(false)
string(4) "base"
string(4) "base"
bool(false)
Array
(
    [a] => 1
    [b] => Array
        (
            [0] => 2
        )

)
Array
(
    [0] => hello
    [1] => bye
)
