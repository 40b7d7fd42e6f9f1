--TEST--
Redeclaring a function or class is a fatal compile error; a class whose parent is unknown fails when its declaration runs
--ARGS--
-n
--FILE--
<?php
echo "start\n";
function f() {}
function F() {}
--REQUEST--
<?php
echo "never printed: compile fails first\n";
class C {}
class c {}
--REQUEST--
<?php
class D extends Missing {}
--REQUEST--
<?php
function strlen($s) { return 0; }
--REQUEST--
<?php
for ($i = 0; $i < 2; $i++) {
    function twice() {}
}
--EXPECTF--

Fatal error: Cannot redeclare F() in %s on line 4

Fatal error: Cannot redeclare class c in %s on line 4

Fatal error: Class d:  Cannot inherit from undefined class missing in %s on line 2

Fatal error: Cannot redeclare strlen() in %s on line 2

Fatal error: Cannot redeclare twice() in %s on line 3
