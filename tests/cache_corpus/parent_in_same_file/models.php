<?php
class Entity {
    var $fields = array("id");
    function describe() { return get_class($this) . "[" . implode(",", $this->fields) . "]"; }
}
class Person extends Entity {
    var $fields = array("id", "name");
    function greet() { return "I am " . $this->describe(); }
}
class Employee extends Person {
    var $salary = 0;
    function describe() { return "employee " . parent::describe(); }
}
