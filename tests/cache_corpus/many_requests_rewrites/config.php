<?php
$config_generation = 0;
class Limits {
    var $max = 0;
    function allows($n) { return $n <= $this->max; }
}
