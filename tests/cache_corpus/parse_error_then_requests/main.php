<?php
// A file with a parse error: the include fails in every request, the
// request goes on, and the file beside it stays cached.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "good.php";
$r = include "broken.php";
echo $request, ": ", var_export($r, true), " ", isset($before) ? "before set" : "before unset", " ", good(), good(), "\n";
