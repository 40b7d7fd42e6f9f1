<?php
function lang() { return "fr"; }
function t($key) {
    static $calls = 100;
    $calls++;
    $words = array("hello" => "bonjour", "bye" => "au revoir");
    return $words[$key] . "#" . $calls;
}
