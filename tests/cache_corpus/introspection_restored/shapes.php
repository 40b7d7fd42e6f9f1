<?php
class ShapeBase {
    var $zeta = 1;
    var $alpha = array("a");
    var $mid = null;
    function Area() { return 0; }
    function getName() { return "base"; }
    function zLast() { return "z"; }
    function aFirst() { return "a"; }
}
