<?php
// Files that declare nothing, some with no code at all.
foreach (array("empty", "open_only", "open_close", "comments", "text", "mixed", "statements") as $f) {
    echo $f, "=<";
    $r = include $f . ".php";
    echo ">", var_export($r, true), "\n";
}
echo isset($semicolons) ? "statements ran" : "-", "\n";
