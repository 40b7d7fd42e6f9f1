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
