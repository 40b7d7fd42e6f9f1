<?php
// The engine's information page inside the site's layout.
$compiled_at_start = zend_compilations();
$started = microtime();
include "../lib/common.php";
$library_compiled = zend_compilations() - $compiled_at_start;

ob_start();
phpinfo();
$info = ob_get_clean();
$row = "the extension is not loaded";
foreach (explode("\n", $info) as $line) {
    if (strpos($line, "PHP Brisko Version") !== false) {
        $row = trim($line);
    }
}
$layout = site_layout("Engine", "/info.php");
$page = brisko_template_load("../templates/info.tpl");
brisko_template_assign_array($page, array("info" => site_escape($info), "brisko_row" => site_escape($row)));
site_finish($layout, $page, $compiled_at_start, $library_compiled, $started);
