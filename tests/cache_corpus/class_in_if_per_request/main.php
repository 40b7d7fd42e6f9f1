<?php
// One file declares either of two classes and functions of the same names,
// chosen by a constant that differs from request to request.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request % 2 == 0) { define("FANCY", 1); }
echo class_exists("Renderer") ? "early" : "not yet", " ";
include "renderer.php";
$r = new Renderer();
echo $request, ": ", $r->mode(), " ", $r->out(decorate("text")), " ", implode(",", array_keys(get_object_vars($r))), "\n";
