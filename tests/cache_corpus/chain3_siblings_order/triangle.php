<?php
class Triangle extends Shape {
    var $sides = 3;
    function name() { return "triangle"; }
}
