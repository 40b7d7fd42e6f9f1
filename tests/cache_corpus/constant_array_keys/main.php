<?php
// A constant used as an array key in a default property, a static
// initialiser and a default argument: its value is the request's.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
define("KEY", "key" . $request);
include "keys.php";
$k = new Keyed();
echo $request, ": ", implode(",", array_keys($k->map)), " ", keyed_static(), " ", keyed_default(), "\n";
