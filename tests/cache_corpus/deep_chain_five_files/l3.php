<?php
class L3 extends L2 {
    var $p3 = 3;
    var $shared = "L3";
    function path() { return "L3" . ">" . parent::path(); }
    function count3() { static $n = 0; return ++$n; }
}
