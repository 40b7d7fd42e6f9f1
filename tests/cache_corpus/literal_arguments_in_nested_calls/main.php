<?php
// Calls nested in calls, in a file compiled before and after a function
// that takes its first argument by reference is declared: only a literal
// passed to that very function makes the compiler refuse the file; the
// results of other calls, variables and literals passed to other
// functions or to its other arguments do not.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo "request ", $request, "\n";
if ($request % 2) { include "calls.php"; include "byref_first.php"; }
else { include "byref_first.php"; include "calls.php"; }
if ($request >= 3) { include "byref_g.php"; }
echo "ok\n";
