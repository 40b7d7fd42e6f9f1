<?php
class Logger {
    var $lines = array();
    function log($msg, $level = "info") { $this->lines[] = $level . ":" . $msg; return count($this->lines); }
    function format($s) { return "[" . $s . "]"; }
    function collect(&$into) { $into[] = "logger"; }
}
