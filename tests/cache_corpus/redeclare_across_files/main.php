<?php
// Two files declare the same function. Alone, each works (and is cached);
// the request that includes both stops at the second, cached or not.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo $request, ": ";
if ($request == 1) { include "b.php"; }
if ($request == 2) { include "a.php"; }
if ($request == 3) { include "a.php"; include "b.php"; }
if ($request == 4) { include "b.php"; }
echo format_price(5), function_exists("b_only") ? " with b" : "", "\n";
