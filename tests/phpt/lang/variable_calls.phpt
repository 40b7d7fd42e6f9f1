--TEST--
Calls through values: $f(), $o->$m(), new $cls, names in any case, by-reference arguments, and the fatal errors of missing names
--ARGS--
-n
--FILE--
<?php
function Hello($a, $b = "dflt") { return "hello $a $b"; }
function inc(&$x) { $x++; }
class Box {
    var $v = 3;
    function Box($v = 5) { $this->v = $v; }
    function get() { return $this->v; }
    function set($v) { $this->v = $v; }
}
$f = "hello";
echo $f("x"), "\n";
$g = "HELLO";
echo $g("y", "z"), "\n";
$table = array("up" => "strtoupper");
echo $table["up"]("abc"), "\n";
$i = 1;
$h = "inc";
$h($i);
$h($i);
echo $i, "\n";
$cls = "box";
$o = new $cls(7);
echo get_class($o), " ", $o->get(), "\n";
$c2 = "BOX";
$p = new $c2;
echo $p->get(), "\n";
$m = "SET";
$o->$m(11);
echo $o->v, "\n";
$name = array("get");
echo $o->{$name[0]}(), " ", $o->{"g" . "et"}(), "\n";
$n = 12;
$num = "strval";
echo $num($n) . "!", "\n";
--REQUEST--
<?php
$u = "NoSuch";
$u();
echo "not reached\n";
--REQUEST--
<?php
$c = "Nope";
$x = new $c(1);
--REQUEST--
<?php
class A {}
$a = new A;
$m = "Missing";
$a->$m();
--REQUEST--
<?php
$five = 5;
$five();
--EXPECTF--
hello x dflt
hello y z
ABC
3
box 7
5
11
11 11
12!

Fatal error: Call to undefined function: nosuch() in %s on line 3

Fatal error: Cannot instantiate non-existent class: nope in %s on line 3

Fatal error: Call to undefined function: missing() in %s on line 5

Fatal error: Call to undefined function: 5() in %s on line 3
