<?php
// Run as many requests in one process (--repeat N): a site that includes a
// generated file of a new name in every request and deletes it after use
// must not make the process's resident memory grow with the requests.
function rss_kb() {
    $status = file_get_contents("/proc/self/status");
    $at = strpos($status, "VmRSS:");
    return intval(trim(substr($status, $at + 6, 20)));
}

$n = brisko_heap_get("soak_generated", "n");
$n = $n === null ? 1 : $n + 1;
brisko_heap_set("soak_generated", "n", $n);

$name = tempnam("/tmp", "brisko_soak_");
$fp = fopen($name, "w");
fwrite($fp, "<?php\nfunction generated_$n() { return array(" . str_repeat("'item $n', ", 100) . "); }\n");
fclose($fp);
include $name;
unlink($name);
$items = call_user_func("generated_$n");

if ($n == 1000) {
    brisko_heap_set("soak_generated", "baseline", rss_kb());
}
if ($n == 3000) {
    $growth = rss_kb() - brisko_heap_get("soak_generated", "baseline");
    echo $growth < 1024 ? "steady" : "grew", ": ", $growth, " kB between request 1000 and request 3000\n";
}
