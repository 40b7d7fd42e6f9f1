<?php
class Child extends Base {
    var $b = "child b";
    var $x = "child x";
    var $c = "child c";
    function get_b() { return "child get b"; }
    function get_x() { return "child get x"; }
    function get_c() { return "child get c"; }
}
