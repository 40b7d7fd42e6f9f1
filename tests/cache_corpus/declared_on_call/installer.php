<?php
function install_helpers() {
    function helper_upper($s) { return strtoupper($s); }
    function helper_count() { static $n = 0; return ++$n; }
    class HelperBox {
        var $items = array("a" => array(1));
        function size() { return count($this->items); }
    }
    return "installed";
}
function installed() { return function_exists("helper_upper") ? "yes" : "no"; }
