--TEST--
get_defined_constants: every constant in the order defined, the engine's first, a request's own last and gone with it; TRUE, FALSE and NULL as constants
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
$c = get_defined_constants();
echo implode(" ", array_slice(array_keys($c), 0, 17)), "\n";
var_dump($c["PHP_VERSION"], $c["TRUE"], $c["FALSE"], $c["NULL"], $c["ZEND_THREAD_SAFE"], $c["E_ALL"] === E_ALL);
var_dump(isset($c["GLOB_BRACE"]), isset($c["CRYPT_MD5"]), isset($c["M_PI"]), isset($c["SEEK_END"]));
var_dump(defined("TRUE"), defined("true"), constant("null"), constant("False"));
var_dump(define("TRUE", 2), TRUE);

define("FIRST", 1);
define("Second", "two", true);
define("THIRD", 3.5);
var_dump(define("FIRST", 9));
$c = get_defined_constants();
var_dump(array_slice($c, -3));
var_dump(count($c) > 60);
var_dump(get_defined_constants(1));
--REQUEST--
<?php
$c = get_defined_constants();
var_dump(isset($c["FIRST"]), isset($c["Second"]), isset($c["PHP_VERSION"]));
define("FIRST", "again");
$c = get_defined_constants();
var_dump(array_slice($c, -1));
--EXPECTF--
E_ERROR E_WARNING E_PARSE E_NOTICE E_CORE_ERROR E_CORE_WARNING E_COMPILE_ERROR E_COMPILE_WARNING E_USER_ERROR E_USER_WARNING E_USER_NOTICE E_ALL TRUE FALSE ZEND_THREAD_SAFE NULL PHP_VERSION
string(6) "4.3.11"
bool(true)
bool(false)
NULL
bool(false)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
NULL
bool(false)

Notice: Constant TRUE already defined in %s on line 8
bool(false)
bool(true)

Notice: Constant FIRST already defined in %s on line 13
bool(false)
array(3) {
  ["FIRST"]=>
  int(1)
  ["Second"]=>
  string(3) "two"
  ["THIRD"]=>
  float(3.5)
}
bool(true)

Warning: Wrong parameter count for get_defined_constants() in %s on line 17
NULL
bool(false)
bool(false)
bool(true)
array(1) {
  ["FIRST"]=>
  string(5) "again"
}
