<?php
// A function declared in an if block meets one of the same name that the
// request already has: the declaration fails when it runs, cached or not.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo $request, ": ";
if ($request == 2) {
    function shim() { return "main's shim"; }
}
include "shim.php";
echo shim(), "\n";
