<?php
class Base {
    var $x = 1;
    var $label = "base";
    function common() { return "c"; }
    function render() { return "base"; }
}
