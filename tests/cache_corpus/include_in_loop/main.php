<?php
// One file included two hundred times in a request: its guarded
// declarations run once, its top-level static starts at 1 every time.
$out = "";
for ($i = 0; $i < 200; $i++) {
    $out .= include "row.php";
}
echo strlen($out), " ", $row_counter->n, " ", substr($out, -24), "\n";
