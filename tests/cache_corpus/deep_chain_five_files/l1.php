<?php
class L1 {
    var $p1 = 1;
    var $shared = "L1";
    function path() { return "L1" . ">" . "root"; }
    function count1() { static $n = 0; return ++$n; }
}
