<?php
// One file required once under relative, absolute and roundabout names.
$r = array();
$r[] = require_once "lib/tools.php";
$r[] = require_once getcwd() . "/lib/tools.php";
$r[] = include_once dirname(__FILE__) . "/lib/./tools.php";
$r[] = include_once "lib/../lib/tools.php";
$r[] = require_once "./lib/tools.php";
$r[] = include_once "lib/more.php";
$r[] = include_once realpath("lib/more.php");
foreach ($r as $i => $v) { $r[$i] = var_export($v, true); }
echo implode(" ", $r), " | runs ", $tools_runs, " ", more(), "\n";
