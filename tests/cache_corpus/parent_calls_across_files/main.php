<?php
// parent:: calls that climb through three files, with default and
// reference arguments.
include "logger.php";
include "file_logger.php";
include "rotating_logger.php";
$r = new RotatingLogger();
$n = array($r->log("a"), $r->log("b"), $r->log("c"));
$seen = array();
$r->collect($seen);
echo implode("", $n), " ", implode(" ", $r->lines), " ", $r->format("x"), " ", implode(">", $seen), "\n";
$f = new FileLogger();
$f->log("direct", "warn");
echo implode(" ", $f->lines), " ", $f->format("y"), "\n";
