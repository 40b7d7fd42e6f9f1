<?php
if (defined("FANCY")) {
    class Renderer {
        var $wrap = array("<b>", "</b>");
        function out($s) { return $this->wrap[0] . $s . $this->wrap[1]; }
        function mode() { return "fancy"; }
    }
} else {
    class Renderer {
        var $wrap = array("", "");
        var $plain = true;
        function out($s) { return $s; }
        function mode() { return "plain"; }
    }
}
if (defined("FANCY")) {
    function decorate($s) { return "*" . $s . "*"; }
} else {
    function decorate($s) { return $s; }
}
