<?php
class Shape { var $tags = array("base", K); function Shape($n = "shape") { $this->name = $n; } function area() { return 0; } }
class Square extends Shape { var $side = 2; function area() { return $this->side * $this->side; } }
if (!function_exists("describe")) {
    function describe($s) { static $calls = 0; $calls++; return get_name($s) . ":" . $s->area() . "#" . $calls; }
}
function get_name($s) { return $s->name; }
