<?php
// Top-level statics of an included file begin again with each include,
// whether it is included from main, from another file or from a function.
function from_function() {
    $where = "function";
    include "counter.php";
    include "counter.php";
}
$where = "main";
include "counter.php";
include "wrapper.php";
from_function();
$where = "main";
include "counter.php";
echo "\n";
