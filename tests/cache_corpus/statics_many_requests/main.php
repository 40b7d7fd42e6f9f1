<?php
// Function statics start afresh in every request, however many there are.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "counters.php";
for ($i = 0; $i < $request % 4; $i++) { hits(); }
echo $request, ": ", hits(), " ", remember("r" . $request), " ", remember("x"), " ", fib_memo(30 + $request % 3), "\n";
