<?php
// A cached file declares a class that the request has already declared
// itself (conditionally): the include stops the request with the engine's
// error, as a compilation would.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo $request, ": ";
if ($request == 2) {
    class User { var $name = "from main"; }
}
include "user.php";
$u = new User();
echo $u->name, " ", user_helper(), "\n";
