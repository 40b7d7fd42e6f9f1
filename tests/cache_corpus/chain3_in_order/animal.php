<?php
class Animal {
    var $legs = 4;
    var $sounds = array("generic" => "...", "list" => array(1, 2));
    var $name = "animal";
    function Animal($name = "nameless") { $this->name = $name; }
    function speak() { return $this->name . " says " . $this->sound(); }
    function sound() { return "..."; }
    function describe() { return "animal(" . $this->legs . ")"; }
    function kind() { return "animal"; }
}
