<?php
// exit inside an included file ends the request only; the next request
// runs the cached files again.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo $request, ": ";
include "guard.php";
echo "page body\n";
