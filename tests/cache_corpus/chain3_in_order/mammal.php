<?php
class Mammal extends Animal {
    var $fur = true;
    var $legs = 4;
    function describe() { return "mammal:" . parent::describe(); }
    function kind() { return "mammal/" . parent::kind(); }
    function feed() { return "milk"; }
}
