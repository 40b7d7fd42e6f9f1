<?php
if (!function_exists("setup_odd")) {
    function setup_odd() {
        function odd_helper() { return "odd"; }
        class OddThing { var $x = 1; }
    }
    function setup_even() {
        if (!class_exists("EvenThing")) {
            class EvenThing { var $y = 2; function EvenThing() { $this->y++; } }
        }
        function even_helper() { static $n = 0; return "even" . ++$n; }
    }
    class Loader {
        function load($n) {
            if ($n == 0) { function loaded_0() { return "zero"; } }
            elseif ($n == 1) { function loaded_1() { return "one"; } }
            else { function loaded_2() { return "two"; } }
            make_registry();
        }
    }
    function make_registry() {
        if (!class_exists("Registry")) { class Registry { var $items = array(); } }
    }
}
echo "plugins included\n";
