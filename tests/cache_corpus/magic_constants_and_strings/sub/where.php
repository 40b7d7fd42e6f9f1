<?php
function where_line() { return __LINE__; }
class Where {
    var $file = __FILE__;
    var $line = __LINE__;
    var $name = "where";
    function describe($arr) {
        return "{$this->name} at " . basename($this->file) . ":{$this->line} sees $arr[key] and {$arr['nested']['deep']} and $this->name";
    }
}
$where_base = basename(__FILE__) . "@" . __LINE__ . " in " . basename(dirname(__FILE__));
