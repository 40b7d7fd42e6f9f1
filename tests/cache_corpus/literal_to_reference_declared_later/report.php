<?php
echo "report loaded\n";
function report_line($s) { return "[" . $s . "]"; }
function report_bump() { return bump(10); }
function report_format() { return fmt(1, 2) . " " . swap("a", "b"); }
class Report {
    function swapped($a) { return swap($a, strtoupper("x") . "y"); }
}
