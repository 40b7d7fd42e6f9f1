--TEST--
A constant used as a key in a constant array (default argument, static initialiser, default property) is resolved when the array is used
--ARGS--
-n
--FILE--
<?php
function defaults($opts = array(KEY_A => "a", "plain" => "p", KEY_N => "n")) {
    return $opts;
}
class Settings {
    var $map = array(KEY_A => array(KEY_N => "deep"), UNDEFINED_KEY => "kept");
    function counter() {
        static $seen = array(KEY_A => 0);
        $seen[KEY_A]++;
        return $seen;
    }
}
// not defined yet when the code was compiled
define("KEY_A", "alpha");
define("KEY_N", 7);
print_r(defaults());
$s = new Settings;
print_r($s->map);
$s->counter();
print_r($s->counter());
// keys whose constants are not strings or integers still keep their element
define("KEY_T", true);
define("KEY_F", 1.9);
define("KEY_0", null);
function odd_keys($a = array(KEY_T => "true", KEY_F => "float", KEY_0 => "null", "x" => "x")) { return $a; }
var_dump(odd_keys());
// a resolved key that another element already has takes that element's place
define("KEY_P", "plain");
function clash($a = array("plain" => 1, "z" => 2, KEY_P => 3)) { return $a; }
print_r(clash());
--EXPECT--
Array
(
    [plain] => p
    [alpha] => a
    [7] => n
)
Array
(
    [UNDEFINED_KEY] => kept
    [alpha] => Array
        (
            [7] => deep
        )

)
Array
(
    [alpha] => 2
)
array(3) {
  ["x"]=>
  string(1) "x"
  [1]=>
  string(5) "float"
  [""]=>
  string(4) "null"
}
Array
(
    [plain] => 3
    [z] => 2
)
