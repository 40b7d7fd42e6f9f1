<?php
class Point {
    var $x = 0;
    var $y = 0;
    var $tags = array();
    function Point($x = 0, $y = 0) { $this->x = $x; $this->y = $y; }
    function move($dx) { $this->x += $dx; return $this; }
    function str() { return "(" . $this->x . "," . $this->y . ":" . implode("", $this->tags) . ")"; }
}
function shift($p) { $p->x += 100; return $p; }
function shift_ref(&$p) { $p->x += 1000; }
