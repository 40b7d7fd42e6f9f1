<?php
function t($key) {
    static $calls = 0;
    $calls++;
    $words = array("hello" => "hello", "bye" => "goodbye");
    return $words[$key] . "#" . $calls;
}
function lang() { return "en"; }
