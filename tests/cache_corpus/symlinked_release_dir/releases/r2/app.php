<?php
require_once "current/lib.php";
class App {
    var $release = "r2";
    var $features = array("new");
    function run() { return "app " . $this->release . " " . lib_version() . " " . implode(",", $this->features); }
}
