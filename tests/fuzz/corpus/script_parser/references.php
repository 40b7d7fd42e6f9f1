<?php
$a = array(&$b, "k" => &$c[1], 1 => array(&$d));
f(&$x, &$y[0], &$o->p);
$GLOBALS["x"] = $_GET["y"] . $_SERVER["z"];
