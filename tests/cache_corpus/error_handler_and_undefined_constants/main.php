<?php
// Notices, warnings and a handler's view of them, raised from cached
// functions, methods, default values and static initial values.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
function handler($no, $str, $file, $line) {
    echo "handled ", $no, " ", $str, " at ", basename($file), ":", $line, "\n";
}
include "lib.php";
echo warn_divide(4, 0), "\n";
echo missing_index(), "\n";
$t = new Thing();
echo $t->show(), "\n";
echo statics_undefined(), "\n";
echo defaults_undefined(), "\n";
$old = set_error_handler("handler");
echo warn_divide(1, 0), missing_index(), "\n";
$t2 = new Thing();
echo $t2->show(), statics_undefined(), defaults_undefined(), "\n";
trigger_from_lib();
restore_error_handler();
if ($request == 3) { $t->undefined_method(); }
if ($request == 2) { call_missing(); }
echo "end ", $request, "\n";
