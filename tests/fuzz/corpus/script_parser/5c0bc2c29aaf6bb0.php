<?php
class Square extends Rect {
    var $tags = array("square", "regular");
    function Square($side) { $this->Rect($side, $side); }
    function describe() { return "square " . parent::describe(); }
}

