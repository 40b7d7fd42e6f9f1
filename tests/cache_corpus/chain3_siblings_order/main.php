<?php
// Siblings and a grandchild included in a different order every request.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$orders = array(
    array("shape", "triangle", "quad", "square"),
    array("shape", "quad", "square", "triangle"),
    array("shape", "quad", "triangle", "square"),
);
$order = $orders[($request - 1) % 3];
foreach ($order as $f) { include $f . ".php"; }
$all = array(new Square(), new Triangle(), new Quad(), new Shape());
$out = array();
foreach ($all as $s) { $out[] = $s->show(); }
echo $request, ": ", implode(" ", $out), "\n";
$sq = new Square();
echo "   ", $sq->area(), " ", implode("+", $sq->style["fill"]), " ", implode(",", get_class_methods("square")), "\n";
