<?php
// Two applications declare their own Base and share widget.php.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$app = $request % 2 ? "app1" : "app2";
include "$app/base.php";
include "widget.php";
$w = new Widget();
echo $app, ": ", $w->render(), " ", $w->kind(), " ", $w->label, " ", $w->width, "\n";
