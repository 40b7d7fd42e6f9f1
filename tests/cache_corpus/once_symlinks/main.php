<?php
// Links made at run time to a file and to its folder: include_once knows
// the file under every name, and the cache keeps one entry for it.
@unlink("alias.php");
@unlink("libs");
symlink(getcwd() . "/lib/real.php", "alias.php");
symlink("lib", "libs");
$r = array();
$r[] = include_once "alias.php";
$r[] = include_once "lib/real.php";
$r[] = require_once "libs/real.php";
$r[] = require_once getcwd() . "/libs/../alias.php";
foreach ($r as $i => $v) { $r[$i] = var_export($v, true); }
echo implode(",", $r), " runs ", $real_runs, " ", real_thing(), " ", is_link("alias.php") ? "link" : "file", "\n";
