--TEST--
Settings scripts change (ini_set, ini_get, ini_restore, precision, set_time_limit) last for their request; environment, process and class built-ins
--ARGS--
-n
--FILE--
<?php
var_dump(ini_get("precision"), ini_get("display_errors"), ini_get("include_path"), ini_get("max_execution_time"), ini_get("no_such_setting"), ini_set("no_such_setting", 1));
$third = 1 / 3;
echo $third, " ", 1e20, " ", -0.1, "\n";
var_dump(ini_set("precision", "4"), ini_get("precision"));
echo $third, " ", 123456.789, " ", 1e20, "\n";
var_dump($third, array(2 / 3));
print_r(array(1.23456));
echo "\n";
ini_set("precision", 20);
echo 0.1, "\n";
ini_restore("precision");
echo $third, " ", ini_get("precision"), "\n";
var_dump(ini_set("error_reporting", E_ALL), error_reporting(), ini_get("error_reporting"));
error_reporting(E_ALL & ~E_NOTICE);
var_dump(ini_get("error_reporting"));
var_dump(set_include_path("/tmp"), get_include_path(), ini_get("include_path"));
var_dump(set_time_limit(10), ini_get("max_execution_time"), ini_set("max_execution_time", "0"), ini_get("max_execution_time"));
var_dump(ini_set("display_errors", "Off"), ini_get("display_errors"));
echo $not_set;
strpos();
var_dump(putenv("BRISKO_TEST_VAR=changed"), getenv("BRISKO_TEST_VAR"), putenv("HOME"), getenv("HOME"), putenv("=x"), getenv("BRISKO_NEVER_SET"));
var_dump(getmypid() == getmypid(), getmypid() > 0, memory_get_usage() > 0, php_uname("s"), strlen(php_uname()) > strlen(php_uname("n")));
--REQUEST--
<?php
echo "next request: ", ini_get("precision"), " ", ini_get("display_errors"), " ", error_reporting(), " ", get_include_path(), " ", ini_get("max_execution_time"), " ", var_export(getenv("BRISKO_TEST_VAR"), true), " ", getenv("HOME") !== false ? "home kept" : "home lost", "\n";
echo 1 / 3, "\n";
class Base { var $a = 1; var $list = array(1, 2); function hello() {} }
class Child extends Base { var $b = "two"; function child_only() {} }
$o = new Child;
var_dump(is_a($o, "child"), is_a($o, "BASE"), is_a($o, "other"), is_a("Child", "child"), is_subclass_of($o, "base"), is_subclass_of($o, "Child"));
var_dump(get_class_vars("CHILD"), get_class_vars("nothing"));
var_dump(method_exists($o, "HELLO"), method_exists($o, "child_only"), method_exists($o, "nope"), method_exists("Child", "hello"));
var_dump(is_callable("strlen"), is_callable("STRLEN"), is_callable("no_function"), is_callable(array($o, "hello")), is_callable(array("child", "child_only")), is_callable(array("nothing", "x")));
var_dump(is_callable(array($o, "nope"), true), is_callable(array(1, 2), true), is_callable(5, false, $name), $name);
is_callable(array($o, "Hello"), false, $name); var_dump($name);
is_callable(array("Child", "x"), false, $name); var_dump($name);
is_callable(array(1, 2, 3), false, $name); var_dump($name);
--EXPECTF--
string(2) "14"
string(1) "1"
string(1) "."
string(1) "0"
bool(false)
bool(false)
0.33333333333333 1E+20 -0.1
string(2) "14"
string(1) "4"
0.3333 1.235E+05 1E+20
float(0.3333)
array(1) {
  [0]=>
  float(0.6667)
}
Array
(
    [0] => 1.235
)

0.10000000000000000555
0.33333333333333 14
string(4) "2039"
int(2047)
string(4) "2047"
string(4) "2039"
string(1) "."
string(4) "/tmp"
string(4) "/tmp"
NULL
string(2) "10"
string(2) "10"
string(1) "0"
string(1) "1"
string(3) "Off"
bool(true)
string(7) "changed"
bool(true)
bool(false)
bool(false)
bool(false)
bool(true)
bool(true)
bool(true)
string(5) "Linux"
bool(true)
next request: 14 1 2039 . 0 false home kept
0.33333333333333
bool(true)
bool(true)
bool(false)
bool(false)
bool(true)
bool(false)
array(3) {
  ["a"]=>
  int(1)
  ["list"]=>
  array(2) {
    [0]=>
    int(1)
    [1]=>
    int(2)
  }
  ["b"]=>
  string(3) "two"
}
bool(false)
bool(true)
bool(true)
bool(false)
bool(false)
bool(true)
bool(true)
bool(false)
bool(true)
bool(true)
bool(false)
bool(true)
bool(false)
bool(false)
string(1) "5"
string(12) "child::Hello"
string(8) "Child::x"
string(5) "Array"
