<?php
class CircleShape extends ShapeBase {
    var $radius = 2;
    var $alpha = array("circle");
    function area() { return 3 * $this->radius * $this->radius; }
    function Grow($by) { $this->radius += $by; }
}
