<?php
class RotatingLogger extends FileLogger {
    var $max = 2;
    function log($msg) {
        if (count($this->lines) >= $this->max) { $this->lines = array(); }
        return parent::log($msg);
    }
    function format($s) { return "{" . parent::format(strtoupper($s)) . "}"; }
    function collect(&$into) { $into[] = "rotating"; parent::collect($into); }
}
