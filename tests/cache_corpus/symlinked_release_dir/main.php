<?php
// A deploy swaps the folder link "current" from one release to another
// and back; each request runs the release the link names at that moment.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$release = $request == 2 || $request == 3 ? "r2" : "r1";
@unlink("current");
symlink("releases/" . $release, "current");
require_once "current/app.php";
$a = new App();
echo $request, ": ", $a->run(), "\n";
