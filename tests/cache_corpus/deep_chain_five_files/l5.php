<?php
class L5 extends L4 {
    var $p5 = 5;
    var $shared = "L5";
    function path() { return "L5" . ">" . parent::path(); }
    function count5() { static $n = 0; return ++$n; }
}
