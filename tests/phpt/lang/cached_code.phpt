--TEST--
Code served from the extension's script cache runs as freshly compiled code: statics restart, conditional and derived declarations, constant defaults
--ARGS--
--repeat 2 --stats
--INCLUDE-- shapes.php
<?php
class Shape { var $tags = array("base", K); function Shape($n = "shape") { $this->name = $n; } function area() { return 0; } }
class Square extends Shape { var $side = 2; function area() { return $this->side * $this->side; } }
if (!function_exists("describe")) {
    function describe($s) { static $calls = 0; $calls++; return get_name($s) . ":" . $s->area() . "#" . $calls; }
}
function get_name($s) { return $s->name; }
--FILE--
<?php
define("K", "konst");
include "shapes.php";
$q = new Square("sq");
echo describe($q), " ", describe(new Shape), " ", implode(",", $q->tags), "\n";
--EXPECTF--
sq:4#1 shape:0#2 base,konst
sq:4#1 shape:0#2 base,konst
--EXPECTF_STDERR--
compilations=2
requests=2
