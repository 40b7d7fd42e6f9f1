<?php
class Str {
    function upper($s) { return strtoupper($s); }
    function count_calls() { static $n = 0; return ++$n; }
    function wrap($s) { return "<" . Str::upper($s) . ">"; }
}
class Html extends Str {
    function wrap($s) { return "<b>" . parent::wrap($s) . "</b>"; }
    function tag($t, $s) { return "<$t>" . $s . "</$t>"; }
}
