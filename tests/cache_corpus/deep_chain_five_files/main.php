<?php
// Five levels, one file each: overrides at every other level, inherited
// statics from each level, properties from all.
for ($i = 1; $i <= 5; $i++) { include "l$i.php"; }
$o = new L5();
$q = new L4();
echo $o->path(), " ", $q->path(), " ", $o->shared, " ", $o->p1 + $o->p2 + $o->p3 + $o->p4 + $o->p5, "\n";
echo $o->count1(), $q->count1(), $o->count3(), $q->count3(), $o->count5(), " ", get_parent_class(get_parent_class(get_parent_class($o))), "\n";
echo implode(",", get_class_methods("l5")), " ", implode(",", array_keys(get_object_vars($o))), "\n";
