<?php
class Root {
    var $version = 1;
    var $opts = array("debug" => false, "paths" => array("/a"));
    function hello() { return "hello v1"; }
    function describe() { return "Root v" . $this->version; }
}
