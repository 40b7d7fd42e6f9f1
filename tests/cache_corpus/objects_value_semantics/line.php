<?php
class Line {
    var $points = array();
    function add($p) { $this->points[] = $p; }
    function str() { $s = ""; foreach ($this->points as $p) { $s .= $p->str(); } return $s; }
}
