<?php
class FileLogger extends Logger {
    var $file = "app.log";
    function log($msg, $level = "file") { return parent::log($this->file . " " . $msg, $level); }
    function format($s) { return "<" . parent::format($s) . ">"; }
    function collect(&$into) { parent::collect($into); $into[] = "file"; }
}
