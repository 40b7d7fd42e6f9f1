--TEST--
A class declared inside a method is a compile error; inside a plain function it is declared when the function runs
--ARGS--
-n
--FILE--
<?php
function declare_helper() {
    class Helper { function hi() { return "hi from helper"; } }
}
echo class_exists("helper") ? "early" : "not yet", "\n";
declare_helper();
$h = new Helper;
echo $h->hi(), "\n";
--REQUEST--
<?php
echo "never printed\n";
class Outer {
    function make() {
        class Inner {}
    }
}
--EXPECTF--
not yet
hi from helper

Fatal error: Class declarations may not be nested in %s on line 5
