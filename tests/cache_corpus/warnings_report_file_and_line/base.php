<?php
class Calc {
    var $values = array("a" => 1);
    function ratio($n, $d) {
        return $n / $d;
    }
    function lookup($k) {
        return $this->values[$k];
    }
}
