<?php
// An inherited method shares its static variables with the parent's, as
// the getInstance() idiom relies on.
include "counter.php";
include "sub.php";
include "subsub.php";
$objects = array(new Counter(), new Sub(), new SubSub(), new Sub(), new Counter());
foreach ($objects as $o) echo $o->next();
echo "\n";
$a = Registry::getInstance();
$a->hits++;
$b = SubRegistry::getInstance();
$b->hits++;
echo get_class($a), " ", get_class($b), " ", $a->hits, "\n";
