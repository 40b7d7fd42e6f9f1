--TEST--
A parse error in an included file is reported and the request goes on; a fatal error ends only its request
--ARGS--
-n
--INCLUDE-- broken.php
<?php
echo "never";
function ( {
--INCLUDE-- good.php
<?php
function good() { return "good"; }
--FILE--
<?php
$r = include "broken.php";
echo "after: ", var_export($r, true), "\n";
include "good.php";
echo good(), "\n";
undefined_function_here();
echo "not reached\n";
--REQUEST--
<?php
echo "next request\n";
include "good.php";
echo good(), "\n";
nosuch::method();
--REQUEST--
<?php
$o = new NoSuchClass();
--REQUEST--
<?php
class Q { function m() {} }
$q = new Q;
$q->missing();
--REQUEST--
<?php
$n = 5;
$n->method();
--EXPECTF--

Parse error: %s in %sbroken.php on line 3
after: false
good

Fatal error: Call to undefined function: undefined_function_here() in %s on line 6
next request
good

Fatal error: Undefined class name 'nosuch' in %s on line 5

Fatal error: Cannot instantiate non-existent class: nosuchclass in %s on line 2

Fatal error: Call to undefined function: missing() in %s on line 4

Fatal error: Call to a member function on a non-object in %s on line 3
