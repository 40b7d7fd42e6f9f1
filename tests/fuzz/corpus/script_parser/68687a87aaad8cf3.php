<?php
function kind($v) {
    switch ($v) {
        case 1: return "one";
        case "two": return "two";
        default: return "other";
        case null: return "null";
    }
}
echo kind(1), " ", kind("1"), " ", kind("two"), " ", kind(0), " ", kind(7), "\n";
for ($i = 0; $i < 5; $i++) {
    switch ($i) {
        case 0:
        case 1: echo "low"; break;
        case 3: echo "skip"; continue 2;
        case 4: echo "end"; break 2;
        default: echo "mid";
    }
    echo "($i) ";
}
echo "\n";
foreach (array("a", "b") as $x) {
    switch ($x) { case "a": continue; default: echo $x; }
    echo ".";
}
echo "\n";
switch (strlen("abc")) { case 3: echo "three\n"; }
