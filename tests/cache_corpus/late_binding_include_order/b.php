<?php
require_once "a.php";
class B extends A {
    var $shared = "b";
    var $mine = 2;
    function mine() { return 2; }
    function hello() { return "B says " . parent::hello(); }
}
