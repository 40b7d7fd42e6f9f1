<?php
function load_cache_plugin() {
    class CachePlugin extends Plugin {
        var $name = "cache";
        function run() { return "[" . parent::run() . "]"; }
    }
}
function load_log_plugin() {
    class LogPlugin extends Plugin {
        var $hooks = array("init" => array("open", "rotate"));
    }
}
