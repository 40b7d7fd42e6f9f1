<?php
class B extends A {
    var $level = "b1";
    function who() { return "B1"; }
    function chain() { return "B1>" . parent::chain(); }
}
