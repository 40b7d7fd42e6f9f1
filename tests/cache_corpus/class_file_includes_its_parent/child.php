<?php
include_once "base.php";
class Child extends Base {
    var $c = "child c";
    var $a = "child a";
    function who() { return "child"; }
    function extra() { return 1; }
}
