--TEST--
A literal for a parameter taken by reference: a compile error when the function is known, a fatal error when the call runs otherwise
--ARGS--
-n
--FILE--
<?php
function twice(&$v) { $v *= 2; }
echo "compiles\n";
twice(21);
echo "not reached\n";
--REQUEST--
<?php
echo "runs until the call\n";
later(1 + 2);
function later(&$v) { }
--REQUEST--
<?php
class K { function m($a, &$b) { } }
$k = new K;
$k->m(1, $ok);
echo "first argument by value is fine\n";
$k->m(1, "two");
--REQUEST--
<?php
echo "an internal function known while compiling\n";
reset(array(1, 2));
--REQUEST--
<?php
$f = "twice_again";
function twice_again(&$v) { }
$f("literal");
--REQUEST--
<?php
class S { function m(&$a) { } }
S::m($fine);
echo "static call with a variable\n";
S::m(array());
--REQUEST--
<?php
class T { function T(&$a) { $a = "set by constructor"; } }
$t = new T($out);
echo $out, "\n";
$t = new T(5);
--EXPECTF--

Fatal error: Only variables can be passed by reference in %s on line 4
runs until the call

Fatal error: Cannot pass parameter 1 by reference in %s on line 3
first argument by value is fine

Fatal error: Cannot pass parameter 2 by reference in %s on line 6

Fatal error: Only variables can be passed by reference in %s on line 3

Fatal error: Cannot pass parameter 1 by reference in %s on line 4
static call with a variable

Fatal error: Cannot pass parameter 1 by reference in %s on line 5
set by constructor

Fatal error: Cannot pass parameter 1 by reference in %s on line 5
