<?php
class Leaf extends Branch {
    var $colour = "green";
    function render() { return $this->colour . parent::render(); }
}
