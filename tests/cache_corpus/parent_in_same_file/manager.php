<?php
class Manager extends Employee {
    var $reports = array();
    function greet() { return parent::greet() . " managing " . count($this->reports); }
}
