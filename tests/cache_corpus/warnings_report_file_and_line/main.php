<?php
// Warnings and notices raised in cached code name the file and line of
// the code that raised them, also for inherited methods.
error_reporting(E_ALL);
include "base.php";
include "child.php";
$s = new SafeCalc();
echo $s->ratio(1, 0), " ", $s->ratio(1, 4), "\n";
echo $s->lookup("missing"), "|", unset_var(), "\n";
$c = new Calc();
echo $c->ratio(2, 0), "|\n";
