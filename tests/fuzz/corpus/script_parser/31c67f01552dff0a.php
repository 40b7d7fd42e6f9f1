<?php
// Run as many requests in one process (--repeat N): once every file is
// cached, the process's resident memory must stay where it was.
include "../cache_corpus/classes/shapes.php";
include "../cache_corpus/classes/square.php";
$s = new Square(3);
$list = array();
for ($i = 0; $i < 200; $i++) { $list[] = $s->describe() . $i; }

function rss_kb() {
    $status = file_get_contents("/proc/self/status");
    $at = strpos($status, "VmRSS:");
    return intval(trim(substr($status, $at + 6, 20)));
}

$n = brisko_heap_get("soak", "n");
$n = $n === null ? 1 : $n + 1;
brisko_heap_set("soak", "n", $n);
if ($n == 500) {
    brisko_heap_set("soak", "baseline", rss_kb());
}
if ($n == 5000) {
    $growth = rss_kb() - brisko_heap_get("soak", "baseline");
    echo $growth < 512 ? "steady" : "grew", ": ", $growth, " kB between request 500 and request 5000\n";
}
