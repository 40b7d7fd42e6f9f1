<?php
// Functions and classes declared inside functions, methods and ifs of a
// cached file; which ones get declared varies from request to request.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "plugins.php";
include "plugins.php";
if ($request % 2) { setup_odd(); } else { setup_even(); }
$l = new Loader();
$l->load($request % 3);
foreach (array("odd_helper", "even_helper", "loaded_0", "loaded_1", "loaded_2") as $f) {
    echo $f, ":", function_exists($f) ? call_user_func($f) : "-", " ";
}
echo "\n";
foreach (array("OddThing", "EvenThing", "Registry") as $c) {
    echo $c, ":", class_exists($c) ? get_class(new $c) : "-", " ";
}
echo "\n";
// The declared names, without the engine's run-time keys.
$fs = get_defined_functions();
foreach ($fs["user"] as $name) { if ($name[0] != "\0") { echo $name, " "; } }
echo "\n";
