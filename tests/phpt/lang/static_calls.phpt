--TEST--
Class::method() calls: $this carried over from an object context, absent from the top level; global and static inside methods
--ARGS--
-n
--FILE--
<?php
class Util {
    function who() { return isset($this) ? "this is " . get_class($this) : "no object"; }
    function twice($x) { return 2 * $x; }
    function counter() { static $calls = 0; return ++$calls; }
    function setting() { global $config; return $config["mode"]; }
}
class Page {
    var $title = "home";
    function render() { return Util::who() . " titled " . $this->title; }
    function helper() { return util::TWICE(21); }
}
$config = array("mode" => "debug");
echo Util::who(), "\n";
$p = new Page;
echo $p->render(), "\n";
echo $p->helper(), "\n";
$u = new Util;
Util::counter(); $u->counter();
echo Util::counter(), " ", $u->setting(), " ", Util::setting(), "\n";
class Base {
    var $name = "base";
    function describe() { return "I am " . $this->name; }
}
class Child extends Base {
    var $name = "child";
    function describe() { return strtoupper(parent::describe()) . " / " . Base::describe(); }
}
$c = new Child;
echo $c->describe(), "\n";
Missing::call();
--EXPECTF--
no object
this is page titled home
42
3 debug debug
I AM CHILD / I am child

Fatal error: Undefined class name 'missing' in %s on line 31
