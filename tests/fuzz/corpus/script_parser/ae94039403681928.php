<?php
// A small page that uses all three things the extension offers. Run it as
// several requests in one process (./run-demo does) to see them at work.

// Named values outlive the request: count this process's visits.
$visits = brisko_heap_get("demo", "visits");
if ($visits === null) {
    $visits = 0;
}
$visits++;
brisko_heap_set("demo", "visits", $visits);

// Templates are parsed once per process; each request fills its own copy.
$page = brisko_template_load("page.tpl");
brisko_template_assign($page, "title", "php_brisko demo");
brisko_template_assign($page, "visits", $visits);
brisko_template_assign($page, "compiled", $visits == 1 ? "just now" : "in the first request, then served from the cache");

$features = array(
    "script cache" => "compiled scripts are kept in process memory",
    "templates" => "blocks and {tags}, filled and rendered per request",
    "value store" => "values such as this visit counter live across requests",
);
$i = 0;
foreach ($features as $name => $what) {
    brisko_template_fetch_assign_array($page, "row*", $i, array("feature" => $name, "what" => $what));
    $i++;
}
brisko_template_print($page);
echo "\n";
