<?php
// A compatibility file with guarded declarations, included several times
// in each request without _once.
include "compat.php";
include "compat.php";
$r = new Registry();
$r->set("a", 1);
include "compat.php";
echo $compat_includes, " ", str_starts("brisko", "bri") ? "starts" : "no", " ", $r->get("a"), " ", var_export($r->get("b"), true), "\n";
