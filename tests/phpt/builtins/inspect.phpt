--TEST--
var_dump, print_r and var_export formats: scalars, nested arrays, objects, return flags, self-containing arrays
--ARGS--
-n
--FILE--
<?php
class Point { var $x = 1; var $y; var $tags = array("a"); }
$p = new Point();
var_dump(1, -2.5, "two", false, null);
var_dump(array("k" => array(1, array()), 2 => $p));
print_r($p); echo "\n";
print_r(array(1, array("a" => null, "b" => false, "c" => true, "d" => 1.25), $p));
print_r("scalar\n");
$s = print_r(array(1), true);
echo strlen($s), ":", str_replace("\n", "|", $s), "\n";
var_export(array(1, "a" => array("it's", "back\\slash"), "f" => 1.5, "b" => true, "n" => null));
echo "\n";
var_export($p); echo "\n";
var_export("plain"); echo "\n";
$e = var_export(array(2 => 3), true);
echo str_replace("\n", "|", $e), "\n";
$r = array("self" => 1);
$r["me"] = &$r;
print_r($r);
echo "\n";
--EXPECT--
int(1)
float(-2.5)
string(3) "two"
bool(false)
NULL
array(2) {
  ["k"]=>
  array(2) {
    [0]=>
    int(1)
    [1]=>
    array(0) {
    }
  }
  [2]=>
  object(point)(3) {
    ["x"]=>
    int(1)
    ["y"]=>
    NULL
    ["tags"]=>
    array(1) {
      [0]=>
      string(1) "a"
    }
  }
}
point Object
(
    [x] => 1
    [y] => 
    [tags] => Array
        (
            [0] => a
        )

)

Array
(
    [0] => 1
    [1] => Array
        (
            [a] => 
            [b] => 
            [c] => 1
            [d] => 1.25
        )

    [2] => point Object
        (
            [x] => 1
            [y] => 
            [tags] => Array
                (
                    [0] => a
                )

        )

)
scalar
23:Array|(|    [0] => 1|)|
array (
  0 => 1,
  'a' => 
  array (
    0 => 'it\'s',
    1 => 'back\\slash',
  ),
  'f' => 1.5,
  'b' => true,
  'n' => NULL,
)
class point {
  var $x = 1;
  var $y = NULL;
  var $tags = 
  array (
    0 => 'a',
  );
}
'plain'
array (|  2 => 3,|)
Array
(
    [self] => 1
    [me] => Array
        (
            [self] => 1
            [me] => Array
 *RECURSION*
        )

)

