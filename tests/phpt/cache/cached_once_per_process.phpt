--TEST--
Files are compiled once per process; static variables of cached functions start afresh in every request
--ARGS--
--repeat 3 --stats
--INCLUDE-- lib.php
<?php
function counter() { static $n = 0, $seen = array(); $n++; $seen[] = $n; return $n . "/" . count($seen); }
class Bag { var $items = array("first"); function add($x) { $this->items[] = $x; return count($this->items); } }
--FILE--
<?php
require_once "lib.php";
echo counter(), " ", counter(), " ", counter(), "\n";
$b = new Bag();
echo $b->add("x"), " ", $b->add("y"), "\n";
$c = new Bag();
echo $c->add("z"), "\n";
--EXPECT--
1/1 2/2 3/3
2 3
2
1/1 2/2 3/3
2 3
2
1/1 2/2 3/3
2 3
2
--EXPECTF_STDERR--
compilations=2
requests=3
