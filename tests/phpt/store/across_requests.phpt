--TEST--
Stored values outlive the request that stored them: scalars, strings with NUL bytes, nested arrays, objects as null
--FILE--
<?php
class Point { var $x = 1; }
var_dump(brisko_heap_set("app", "int", 42));
brisko_heap_set("app", "float", 0.25);
brisko_heap_set("app", "bool", false);
brisko_heap_set("app", "null", null);
brisko_heap_set("app", "bytes", "a\0b\0");
brisko_heap_set("app", "nested", array("name" => "brisko", "list" => array(1, 2, array("deep" => "yes")), 7 => "seven"));
brisko_heap_set("app", "object", new Point());
brisko_heap_set("app", "objects", array(new Point(), "kept", new Point()));
echo "stored\n";
--REQUEST--
<?php
var_dump(brisko_heap_get("app", "int"));
var_dump(brisko_heap_get("app", "float"));
var_dump(brisko_heap_get("app", "bool"));
var_dump(brisko_heap_get("app", "null"));
$b = brisko_heap_get("app", "bytes");
echo strlen($b), " ", str_replace("\0", "0", $b), "\n";
var_dump(brisko_heap_get("app", "nested"));
var_dump(brisko_heap_get("app", "object"));
var_dump(brisko_heap_get("app", "objects"));
--EXPECT--
bool(true)
stored
int(42)
float(0.25)
bool(false)
NULL
4 a0b0
array(3) {
  ["name"]=>
  string(6) "brisko"
  ["list"]=>
  array(3) {
    [0]=>
    int(1)
    [1]=>
    int(2)
    [2]=>
    array(1) {
      ["deep"]=>
      string(3) "yes"
    }
  }
  [7]=>
  string(5) "seven"
}
NULL
array(3) {
  [0]=>
  NULL
  [1]=>
  string(4) "kept"
  [2]=>
  NULL
}
