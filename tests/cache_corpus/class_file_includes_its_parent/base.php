<?php
class Base {
    var $a = "base a";
    var $b = "base b";
    function Base() { $this->b .= "!"; }
    function who() { return "base"; }
    function hello() { return "hello from " . $this->who(); }
}
