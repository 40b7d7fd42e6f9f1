<?php
class Child extends Base {
    var $first = 0;
    var $label = "child";
    var $last = 9;
    function start() { return 1; }
    function render() { return "child"; }
    function finish() { return 2; }
}
