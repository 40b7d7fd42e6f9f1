<?php
class Shape {
    var $kind = "shape";
    var $sides = 0;
    function describe() { return $this->kind . " with " . $this->sides . " sides"; }
}
