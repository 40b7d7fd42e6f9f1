<?php
class Node {
    var $children = array();
    var $label = "node";
    function add($c) { $this->children[] = $c; return $this; }
    function render() { return $this->label . "(" . count($this->children) . ")"; }
}
