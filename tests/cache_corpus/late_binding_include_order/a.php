<?php
class A {
    var $first = 1;
    var $shared = "a";
    function A() { $this->built = "A"; }
    function hello() { return "hello from " . $this->shared; }
    function other() { return 0; }
}
