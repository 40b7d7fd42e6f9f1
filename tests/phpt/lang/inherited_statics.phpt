--TEST--
An inherited method has static variables of its own, as in PHP 4: each class counts apart, and a singleton reached through a subclass is that subclass's own
--FILE--
<?php
class Counter { function next() { static $n = 0, $list = array(1, 2); $n++; $list[] = $n; return $n . count($list); } }
class Sub extends Counter { }
class SubSub extends Sub { }
$objects = array(new Counter(), new Sub(), new SubSub(), new Sub(), new Counter());
foreach ($objects as $o) echo $o->next(), " ";
echo "\n";
class Registry {
    var $hits = 0;
    function &getInstance() { static $instance = null; if ($instance === null) { $instance = new Registry(); } return $instance; }
}
class SubRegistry extends Registry { }
$a = &Registry::getInstance(); $a->hits++;
$b = &SubRegistry::getInstance(); $b->hits++;
$c = &Registry::getInstance(); $c->hits++;
echo $a->hits, $b->hits, $c->hits, "\n";
--EXPECT--
13 13 13 24 24 
212
