<?php
include "shapes.php";
include "square.php";

class Registry {
    var $items = array();
    var $meta = array("owner" => "nobody", "limits" => array(1, 2, 3));
    function add($item) { $this->items[] = $item; return count($this->items); }
}

$r = new Rect(2, 3);
$s = new Square(4);
echo $r->describe(), "\n", $s->describe(), "\n";
echo $r->area() + $s->area(), "\n";
echo implode(",", $s->tags), " ", implode(",", $s->kind), "\n";
$reg = new Registry();
$reg->add($r);
echo $reg->add($s), " ", $reg->meta["owner"], " ", count($reg->meta["limits"]), "\n";
$copy = $reg;
$copy->add($r);
echo count($reg->items), count($copy->items), "\n";
$s->tags[] = "changed";
$t = new Square(1);
echo count($t->tags), "\n";
