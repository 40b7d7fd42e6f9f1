<?php
// A library passes literals to functions of other files that it calls by
// name, in code that does not run. Whether the compiler accepts the file
// depends on those functions: while one that takes that argument by
// reference is declared, the file is refused with a compile error; before
// its declaration, or when it takes the argument by value, it is not.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo "request ", $request, "\n";
if ($request == 1) {
    include "report.php";
    include "counter.php";
    $n = 1;
    echo bump($n), " ", report_line("first"), "\n";
} elseif ($request == 2) {
    include "counter.php";
    include "report.php";
} elseif ($request == 3) {
    include "format.php";
    include "report.php";
    echo report_line("by value"), " ", report_format(), "\n";
} else {
    include "swap.php";
    include "report.php";
}
