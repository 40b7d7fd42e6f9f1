<?php
class Base {
    var $colour = "red";
    var $size = 1;
    function inherited() { return "old inherited"; }
    function describe() { return "old " . $this->colour; }
}
