<?php
$outer = "outer";
$r = include "lib/vars.php";
echo $fromlib, " ", $r, " ", libfunc(), "\n";
function scoped() { $outer = "local"; include "lib/plain.php"; $x = require "lib/plain.php"; return $x; }
echo scoped(), "\n";
echo include_once "lib/once.php", "\n";
echo include_once "lib/once.php", "\n";
echo require_once "./lib/once.php", "\n";
echo require_once getcwd() . "/lib/../lib/once.php", "\n";
echo oncefunc(), "\n";
$v = @include "lib/missing.php";
echo var_export($v, true), "\n";
include "lib/missing.php";
echo "still here\n";
require "lib/missing.php";
echo "not reached\n";
