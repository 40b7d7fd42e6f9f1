<?php
class Plain {
    var $tag = "p";
    function open() { return "<" . $this->tag . ">"; }
    function name() { return "plain"; }
}
class Rich extends Plain {
    var $tag = "div";
    var $classes = array("rich", array("nested" => "yes"));
    function name() { return "rich+" . parent::name(); }
}
