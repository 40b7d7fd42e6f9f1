<?php
function declared_by_crash() { return "declared"; }
class CrashThing extends LibThing { var $y = 3; }
echo "crash.php runs, ";
$t = new CrashThing();
echo count($t->x) + $t->y, " ";
no_such_function($t);
echo "not reached";
