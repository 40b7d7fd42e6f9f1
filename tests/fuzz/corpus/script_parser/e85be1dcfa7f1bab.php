<?php
class Foo {
    function bar() { return __CLASS__ . "::" . __FUNCTION__ . "@" . __LINE__; }
}
function plain() { return "[" . __CLASS__ . "]" . __FUNCTION__; }
$f = new Foo;
echo $f->bar(), " ", plain(), " [", __FUNCTION__, "] ", __LINE__, "\n";
echo basename(__FILE__) == "magic_constants.php" ? "file ok" : __FILE__, "\n";
define("LIMIT", 10);
define("name", "lower");
echo LIMIT * 2, " ", name, " ", E_ALL > 0 ? "builtin" : "", "\n";
echo UNDEFINED_BAREWORD, "\n";
