<?php
// An included file ends its request with a fatal error in some requests;
// the next request starts clean, with nothing left from the failed one.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo $request, ": ", function_exists("declared_by_crash") ? "leftover function" : "clean", " ", class_exists("CrashThing") ? "leftover class" : "clean", " ";
include "lib.php";
echo lib(), " ";
if ($request % 2 == 1) {
    include "crash.php";
}
echo "survived\n";
