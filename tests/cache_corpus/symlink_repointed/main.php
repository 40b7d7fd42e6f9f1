<?php
// A link re-pointed between requests: the include follows it, the cache
// keeps the two targets apart.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
@unlink("current.php");
symlink($request % 3 == 2 ? "v2.php" : "v1.php", "current.php");
include "current.php";
echo $request, ": ", version(), " ", $version_file, "\n";
