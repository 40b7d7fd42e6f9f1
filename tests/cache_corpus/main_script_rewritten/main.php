<?php
// The main script rewrites itself: the next request runs the new text.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "lib.php";
echo $request, ": ", lib_say("original main"), "\n";
if ($request == 2) {
    $self = file_get_contents("main.php");
    file_put_contents("main.php", str_replace('"original main"', '"rewritten main"', $self));
}
