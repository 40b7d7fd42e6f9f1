<?php
// A deploy renames a new release folder over the live one; the file of
// the same name and size in it is a different file.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 2) {
    rename("live", "old");
    rename("incoming", "live");
}
include "live/app.php";
echo $request, ": ", app_version(), " ", filesize("live/app.php"), "\n";
