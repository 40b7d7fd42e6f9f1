<?php
$compat_includes = isset($compat_includes) ? $compat_includes + 1 : 1;
if (!function_exists("str_starts")) {
    function str_starts($h, $n) { return substr($h, 0, strlen($n)) == $n; }
}
if (!class_exists("Registry")) {
    class Registry {
        var $data = array();
        function set($k, $v) { $this->data[$k] = $v; }
        function get($k) { return isset($this->data[$k]) ? $this->data[$k] : null; }
    }
}
