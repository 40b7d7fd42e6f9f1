<?php
class Shape {
    var $sides = 0;
    var $style = array("stroke" => "black", "fill" => array("none"));
    function name() { return "shape"; }
    function show() { return $this->name() . "/" . $this->sides . "/" . $this->style["stroke"]; }
}
