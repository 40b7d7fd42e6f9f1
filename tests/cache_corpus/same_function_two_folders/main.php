<?php
// Two folders define functions of the same names; a shared file calls them.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$lang = $request % 2 ? "fr" : "en";
include "$lang/lang.php";
include "greet.php";
echo $request, ": ", greet("ann"), " / ", part(), " / ", greet("bob"), "\n";
