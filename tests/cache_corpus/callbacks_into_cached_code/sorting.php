<?php
function by_length($a, $b) { return strlen($a) - strlen($b); }
function shout($s) { return strtoupper($s) . "!"; }
function is_even($n) { return $n % 2 == 0; }
class Sorter {
    var $desc = true;
    function compare($a, $b) { return $this->desc ? $b - $a : $a - $b; }
    function apply($f, $v) { return call_user_func($f, $v); }
}
