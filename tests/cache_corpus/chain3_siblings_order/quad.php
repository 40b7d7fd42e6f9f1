<?php
class Quad extends Shape {
    var $sides = 4;
    var $style = array("stroke" => "blue", "fill" => array("red", "white"));
    function name() { return "quad"; }
    function area() { return 0; }
}
