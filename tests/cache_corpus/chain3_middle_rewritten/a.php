<?php
class A {
    var $level = "a";
    var $trail = array("a");
    function who() { return "A"; }
    function chain() { return "A"; }
    function shared() { return "shared from A"; }
}
