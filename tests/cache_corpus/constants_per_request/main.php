<?php
// Constants used in defaults, default arguments and static initialisers
// take their values in each request, not from the request that compiled.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
define("LIMIT", $request * 10);
define("LABEL", "req" . $request);
include "settings.php";
include "more.php";
$s = new Settings();
$m = new MoreSettings();
echo $request, ": ", $s->describe(), " | ", $m->describe(), " ", $m->table["limit"], " ";
foreach ($m->extra as $k => $v) { echo $k, "=>", $v; }
echo " | ", capped(25), " ", capped(5), " ", capped(99, 7), " | ", first_label(), "\n";
