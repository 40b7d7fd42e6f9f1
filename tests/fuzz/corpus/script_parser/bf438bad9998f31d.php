<?php
class Registry { var $v = 0; }
function &instance() { static $inst; if (!$inst) { $inst = new Registry; } return $inst; }
$a = &instance(); $a->v = 42;
$b = &instance(); echo $b->v, "\n";
$c = instance(); $c->v = 7; echo $b->v, "\n";
function &elem(&$arr, $k) { return $arr[$k]; }
$data = array("x" => 1);
$e = &elem($data, "x"); $e = 99; echo $data["x"], "\n";
function plain() { return 5; }
$p = &plain(); echo $p, "\n";
instance();
