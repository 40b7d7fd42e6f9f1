<?php
function counter() { static $n = 0, $seen = array(); $n++; $seen[] = $n; return $n . "/" . count($seen); }
class Bag { var $items = array("first"); function add($x) { $this->items[] = $x; return count($this->items); } }
