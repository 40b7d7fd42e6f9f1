<?php
require_once "current/lib.php";
class App {
    var $release = "r1";
    function run() { return "app " . $this->release . " " . lib_version(); }
}
