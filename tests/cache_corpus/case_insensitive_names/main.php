<?php
// Class, parent, method and function names in any case.
include "base.php";
include "child.php";
$c = new MIXEDCASECHILD();
$d = new mixedcasebase();
echo $c->sayhello(), " ", $c->Who(), " ", $d->WhO(), " ", mixedfunction(1), MIXEDFUNCTION(2), "\n";
echo get_class($c), " ", get_parent_class($c), " ", implode(",", get_class_methods("MixedCaseChild")), "\n";
