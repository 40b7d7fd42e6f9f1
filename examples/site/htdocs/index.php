<?php
// Home: what the three things the extension does look like from here.
$compiled_at_start = zend_compilations();
$started = microtime();
include "../lib/common.php";
$library_compiled = zend_compilations() - $compiled_at_start;

$layout = site_layout("Welcome", "/");
$home = brisko_template_load("../templates/home.tpl");
$features = array(
    array("Script cache",
          "Each worker compiles a script the first time it runs it and keeps the compiled code in memory.",
          "This page: " . ($compiled_at_start == 0 ? "from the script cache." : "compiled for this request.")),
    array("Templates",
          "Template files with blocks and {tags} are parsed once per worker; each request fills its own copy.",
          "This page is a layout template with a page template attached into its content block."),
    array("Value store",
          "Values outlive the request inside the worker: counters, and data that is slow to work out.",
          defined("SITE_FALLBACK") ? "Not here: the server runs without the extension."
                                   : "The footer's request count comes from it."),
);
$i = 0;
foreach ($features as $feature) {
    brisko_template_fetch_assign_array($home, "feature*", $i,
        array("name" => site_escape($feature[0]), "what" => site_escape($feature[1]),
              "now" => site_escape($feature[2])));
    $i++;
}
site_finish($layout, $home, $compiled_at_start, $library_compiled, $started);
