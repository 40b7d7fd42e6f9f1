<?php
// Includes inside functions run in the function's scope: locals stay
// local, global and $GLOBALS reach out, functions declared are global.
function run_part($input) {
    $r = include "parts/compute.php";
    return $r . "/" . $result . "/" . (isset($scratch) ? "scratch" : "-");
}
function load_funcs() { include_once "parts/funcs.php"; return function_exists("from_inside"); }
$total = 100;
echo run_part(1), " ", run_part(5), " ", $total, " ", $last_input, " ", isset($scratch) ? "leak" : "no leak", isset($result) ? " leak" : " no leak", "\n";
echo load_funcs() ? from_inside() : "-", " ", load_funcs() ? "again" : "-", "\n";
$input = 50;
$r = include "parts/compute.php";
echo $r, " ", $result, " ", $total, " ", $scratch, "\n";
