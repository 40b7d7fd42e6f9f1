<?php
function &registry() {
    static $data = array("seen" => array("start"));
    return $data;
}
function &instances() {
    static $all = array();
    return $all;
}
class Node {
    var $name;
    var $children = array();
    var $defaults = array("one", array("nested" => "two"));
    function Node($name) {
        $this->name = $name;
        $all =& instances();
        $all[] =& $this;
    }
    function add(&$node) { $this->children[] =& $node; }
    function &first() { return $this->children[0]; }
}
