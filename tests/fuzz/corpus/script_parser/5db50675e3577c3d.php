<?php
define("START", 7);
class Base {
    var $name = "base";
    var $items = array(1, 2);
    var $start = START;
    var $unset;
    function Base($name = "anon") { $this->name = $name; $this->made = true; }
    function describe() { return get_class_name($this) . "(" . $this->name . "," . count($this->items) . ")"; }
    function add($v) { $this->items[] = $v; return $this; }
    function who() { return "Base::who"; }
}
function get_class_name($o) { return is_object($o) ? "obj" : "?"; }
class Child extends Base {
    var $extra = "x";
    function who() { return "Child>" . parent::who(); }
    function helper() { return Base::who(); }
}
$b = new Base("b1");
echo $b->describe(), " ", $b->start, " ", is_null($b->unset) ? "null" : "set", " ", $b->made ? "made" : "", "\n";
$copy = $b;
$copy->name = "copy";
$copy->add(3);
echo $b->describe(), " ", $copy->describe(), "\n";
$c = new Child("kid");
echo $c->name, " ", $c->extra, " ", $c->who(), " ", $c->helper(), " ", count($c->items), "\n";
$same = &$b;
$same->name = "via-ref";
echo $b->name, "\n";
function rename_it($o) { $o->name = "inside"; return $o->name; }
echo rename_it($b), " ", $b->name, "\n";
function rename_ref(&$o) { $o->name = "by-ref"; }
rename_ref($b);
echo $b->name, "\n";
$d = new Child;
echo $d->name, "\n";
$e = new Base;
$e->items[0] = "changed";
$f = new Base;
echo $f->items[0], "\n";
$o->auto = "stdclass";
echo $o->auto, "\n";
$holder = array("obj" => new Base("held"));
$holder["obj"]->name = "deep";
echo $holder["obj"]->name, "\n";
$n = new Child();
$n->a->b = 5;
echo $n->a->b, "\n";
class Orphan { function up() { return parent::up(); } function ok() { return "orphan ok"; } }
$orphan = new Orphan;
echo $orphan->ok(), "\n";
$orphan->up();
