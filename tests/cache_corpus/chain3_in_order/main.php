<?php
// A chain three deep, one class per file, included parent first.
include "animal.php";
include "mammal.php";
include "dog.php";
$d = new Dog("rex");
$m = new Mammal("cow");
$a = new Animal();
echo $d->speak(), " | ", $m->speak(), " | ", $a->speak(), "\n";
echo $d->describe(), " | ", $m->describe(), " | ", $a->describe(), "\n";
echo $d->kind(), " ", $d->feed(), " ", $d->learn("sit"), $d->learn("roll"), "\n";
echo get_class($d), " < ", get_parent_class($d), " < ", get_parent_class("Mammal"), "\n";
echo implode(",", get_class_methods("Dog")), "\n";
echo implode(",", get_class_methods("Mammal")), "\n";
echo implode(",", array_keys(get_object_vars($d))), "\n";
echo count($d->sounds["list"]), count($m->sounds["list"]), " ", $d->fur ? "fur" : "bare", "\n";
echo method_exists($d, "feed") ? "y" : "n", method_exists($a, "feed") ? "y" : "n", method_exists($d, "SPEAK") ? "y" : "n", "\n";
