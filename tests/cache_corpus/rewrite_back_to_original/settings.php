<?php
function setting($k) {
    $all = array("mode" => "original", "level" => 1);
    return $all[$k];
}
