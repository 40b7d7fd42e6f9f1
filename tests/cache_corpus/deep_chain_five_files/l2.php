<?php
class L2 extends L1 {
    var $p2 = 2;
    var $shared = "L2";

    function count2() { static $n = 0; return ++$n; }
}
