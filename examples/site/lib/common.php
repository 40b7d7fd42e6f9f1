<?php
// Included first by every page: the shared helpers, the layout, and the
// worker's own bookkeeping that the bottom of each page shows.

// Without the extension (brisko-httpd -n) plain PHP stands in for its
// functions, so the site still runs, only slower.
if (!function_exists("brisko_template_load")) {
    include "../lib/fallback.php";
}

// Text for HTML: every value a page puts into a template goes through here.
function site_escape($text)
{
    return htmlspecialchars($text, ENT_QUOTES);
}

// Milliseconds since $start, a microtime() reading.
function site_elapsed($start)
{
    $a = explode(" ", $start);
    $b = explode(" ", microtime());
    return number_format((($b[1] - $a[1]) + ($b[0] - $a[0])) * 1000, 1);
}

// This worker's count of page requests, kept in the value store, so it
// lives as long as the worker.
function site_count_request()
{
    $served = brisko_heap_get("site", "requests");
    if ($served === null) {
        $served = 0;
    }
    $served++;
    brisko_heap_set("site", "requests", $served);
    return $served;
}

// The layout with its title and navigation; the page's own template goes
// into its content block at the end.
function site_layout($title, $current)
{
    $layout = brisko_template_load("../templates/layout.tpl");
    brisko_template_assign($layout, "title", site_escape($title));
    $links = array("/" => "Home", "/catalogue.php" => "Catalogue", "/contact.php" => "Contact",
                   "/info.php" => "Engine");
    $i = 0;
    foreach ($links as $href => $label) {
        brisko_template_fetch_assign_array($layout, "navitem*", $i,
            array("href" => $href, "label" => $label, "class" => $href == $current ? "current" : ""));
        $i++;
    }
    return $layout;
}

// Attaches the page into the layout, fills the footer and prints it all.
// $compiled_at_start: the engine's compilations when the page began (0:
// the page script itself came from the script cache); $library_compiled:
// how many library files the page's includes compiled.
function site_finish($layout, $page, $compiled_at_start, $library_compiled, $started)
{
    brisko_template_attach($layout, "content", $page);
    if (defined("SITE_FALLBACK")) {
        $requests = "? (no value store without the extension)";
    } else {
        $requests = site_count_request();
    }
    brisko_template_assign_array($layout, array(
        "pid" => posix_getpid(),
        "requests" => $requests,
        "script_cache" => $compiled_at_start == 0 ? "from the script cache" : "compiled for this request",
        "library_cache" => $library_compiled == 0 ? "all from the script cache"
                                                  : $library_compiled . " compiled for this request",
        "elapsed" => site_elapsed($started)));
    brisko_template_print($layout);
}
