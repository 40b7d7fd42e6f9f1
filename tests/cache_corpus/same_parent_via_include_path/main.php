<?php
// The same relative name reaches a different file through include_path.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$theme = $request % 2 ? "dark" : "light";
set_include_path("themes/" . $theme . ":.");
include "theme.php";
include "button.php";
$b = new Button();
echo $request, ": ", $theme_file, " ", $b->html(), " ", implode(",", array_keys($b->colours)), " ", method_exists($b, "contrast") ? $b->contrast() : "-", "\n";
