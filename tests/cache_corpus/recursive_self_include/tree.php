<?php
// Renders $node and its children by including itself.
echo str_repeat("  ", $level), $node["name"], "\n";
if (isset($node["kids"])) {
    $saved = $node;
    $level++;
    foreach ($saved["kids"] as $kid) {
        $node = $kid;
        include "tree.php";
    }
    $level--;
    $node = $saved;
}
