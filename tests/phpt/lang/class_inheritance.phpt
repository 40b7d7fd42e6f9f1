--TEST--
Classes inherit as in PHP 4: with the parent known when the file compiles, the parent's members come first and own ones replace them in place; with the parent included by the file itself, the class is bound when its declaration runs, own members first; either way a parent's constructor under the child's name
--INCLUDE-- base.php
<?php
class Base {
    var $id = 1;
    var $name = "base";
    var $tags = array("x");
    function Base() { $this->made = "by Base"; }
    function describe() { return "base " . $this->name; }
    function id() { return $this->id; }
}
--INCLUDE-- late.php
<?php
echo "late.php runs\n";
require_once "base.php";
class Late extends Base {
    var $name = "late";
    var $extra = true;
    function describe() { return "late " . parent::describe(); }
}
--INCLUDE-- child.php
<?php
class Child extends Base {
    var $own = 2;
    var $name = "child";
    function own() { return 2; }
    function id() { return 20; }
}
--FILE--
<?php
include "late.php";
$l = new Late();
echo $l->describe(), " ", $l->made, "\n";
print_r(get_object_vars($l));
echo implode(",", get_class_methods("Late")), "\n";
var_dump(method_exists($l, "late"), get_parent_class($l));

include "child.php";
$c = new Child();
print_r($c);
echo implode(",", get_class_methods("Child")), " ", $c->id(), "\n";

// A parent that is never declared: the code before the declaration runs.
echo "before\n";
class Orphan extends NoSuchParent { }
echo "not reached\n";
--EXPECTF--
late.php runs
late base late by Base
Array
(
    [name] => late
    [extra] => 1
    [id] => 1
    [tags] => Array
        (
            [0] => x
        )

    [made] => by Base
)
describe,base,id,late
bool(true)
string(4) "base"
child Object
(
    [id] => 1
    [name] => child
    [tags] => Array
        (
            [0] => x
        )

    [own] => 2
    [made] => by Base
)
base,describe,id,own,child 20
before

Fatal error: Class orphan:  Cannot inherit from undefined class nosuchparent in %s on line %d
