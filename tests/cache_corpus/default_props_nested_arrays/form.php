<?php
class Form {
    var $fields = array(
        "name" => array("type" => "text", "rules" => array("required", array("max" => 40))),
        "age" => array("type" => "int", "rules" => array(array("min" => 0), array("max" => 150))),
    );
    var $matrix = array(array(1, 2, 3), array(4, 5, 6), array(7, array(8, array(9))));
    var $empty = array();
    var $mixed = array(1 => "one", "two" => 2, 3 => array(), -4 => null, "5" => true, 2.5 => "float key");
    function rule($field, $i) { return $this->fields[$field]["rules"][$i]; }
}
