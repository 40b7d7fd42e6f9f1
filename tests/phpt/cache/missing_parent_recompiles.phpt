--TEST--
A cached class whose parent is not declared in this request is compiled again: bound when its declaration runs, it reports the missing parent
--INCLUDE-- parent.php
<?php class Base { function who() { return "base"; } }
--INCLUDE-- child.php
<?php class Child extends Base { function who() { return "child of " . parent::who(); } }
--FILE--
<?php
include "parent.php";
include "child.php";
$c = new Child();
echo $c->who(), "\n";
--REQUEST--
<?php
echo "second request\n";
include "child.php";
echo "not reached\n";
--REQUEST--
<?php
include "parent.php";
include "child.php";
$c = new Child();
echo $c->who(), "\n";
--EXPECTF--
child of base
second request

Fatal error: Class child:  Cannot inherit from undefined class base in %schild.php on line 1
child of base
