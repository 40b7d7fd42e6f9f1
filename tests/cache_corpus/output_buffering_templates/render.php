<?php
function render($file, $vars) {
    foreach ($vars as $k => $v) { $$k = $v; }
    ob_start();
    include $file;
    $out = ob_get_contents();
    ob_end_clean();
    return $out;
}
