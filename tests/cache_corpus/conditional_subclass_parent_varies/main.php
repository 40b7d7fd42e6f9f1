<?php
// A guarded subclass whose parent comes from a different application in
// alternate requests.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$app = $request % 2 ? "app1" : "app2";
include "$app/model.php";
include "user.php";
include "user.php";
$u = new User();
echo $request, " ", $app, ": ", $u->find(7), " / ", $u->save(), " / ", method_exists($u, "delete") ? $u->delete() : "-", "\n";
echo "   ", implode(",", array_keys(get_object_vars($u))), "\n";
