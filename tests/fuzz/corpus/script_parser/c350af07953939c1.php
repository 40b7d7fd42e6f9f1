<?php
class Shape {
    var $kind = array("shape");
    var $name = "shape";
    function describe() { return $this->name . " of area " . $this->area(); }
    function area() { return 0; }
}
class Rect extends Shape {
    var $w = 0;
    var $h = 0;
    var $name = "rect";
    function Rect($w, $h) { $this->w = $w; $this->h = $h; }
    function area() { return $this->w * $this->h; }
}
