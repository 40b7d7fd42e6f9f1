<?php
class Dog extends Mammal {
    var $sounds = array("generic" => "woof", "list" => array(3));
    var $tricks = array();
    function sound() { return $this->sounds["generic"]; }
    function describe() { return "dog:" . parent::describe(); }
    function learn($t) { $this->tricks[] = $t; return count($this->tricks); }
}
