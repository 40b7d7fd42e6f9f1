<?php
class Square extends Quad {
    var $side = 2;
    function name() { return "square<" . parent::name() . ">"; }
    function area() { return $this->side * $this->side; }
}
