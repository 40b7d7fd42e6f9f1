<?php
class L4 extends L3 {
    var $p4 = 4;
    var $shared = "L4";

    function count4() { static $n = 0; return ++$n; }
}
