<?php
// Objects are values: assignment, arguments, returns and array elements
// copy them; only & shares.
include "point.php";
include "line.php";
$a = new Point(1, 2);
$b = $a;
$b->x = 9;
$c =& $a;
$c->tags[] = "c";
$moved = $a->move(5);
$shifted = shift($a);
shift_ref($b);
echo $a->str(), $b->str(), $c->str(), $moved->str(), $shifted->str(), "\n";
$l = new Line();
$l->add($a);
$a->y = 77;
$l->add($a);
$copy = $l;
$copy->points[0]->x = -1;
echo $l->str(), " ", $copy->str(), "\n";
$list = array($a, $a);
$list[1]->tags = array("only", "second");
foreach ($list as $p) { $p->x = 0; }
echo $list[0]->str(), $list[1]->str(), $a->str(), "\n";
