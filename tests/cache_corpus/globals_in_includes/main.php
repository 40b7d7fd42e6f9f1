<?php
// Globals written and read by included files at the top level, from
// functions they declare, and from a file included inside a function.
include "config.php";
config_set("theme", "dark");
echo config_get("site"), " ", implode(",", config_get("pages")), " ", $config["theme"], " ", bump(), bump(), "\n";
function show_page() { $r = include "page.php"; return $r . "/" . $local_to_page; }
echo show_page(), " ", $counter, " ", isset($local_to_page) ? "leak" : "no leak", "\n";
$r = include "page.php";
echo $r, " ", $counter, " ", $local_to_page, " ", count($GLOBALS["config"]), "\n";
