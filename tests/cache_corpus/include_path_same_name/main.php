<?php
// One relative name, two files: include_path decides, and it changes
// within a request and between requests.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$conf_from = array();
$first = $request % 2 ? "siteA" : "siteB";
$second = $request % 2 ? "siteB" : "siteA";
set_include_path($first . "/lib:common");
$h1 = include "header.php";
set_include_path($second . "/lib:common");
$h2 = include "header.php";
$direct = include "siteA/lib/conf.php";
echo $request, ": ", $h1, " ", $h2, " ", $direct["name"], " ", implode("", $conf_from), "\n";
