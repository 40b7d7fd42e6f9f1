<?php
// The getInstance() idiom with a static in the root class, reached through
// two levels of subclasses in other files, by reference.
include "registry.php";
include "config.php";
include "local.php";
$a =& Registry::getInstance();
$a->set("x", 1);
$b =& Config::getInstance();
$b->set("y", 2);
$c =& LocalConfig::getInstance();
echo $c->dump(), " ", get_class($c), "\n";
$n =& Registry::getNamed("Config");
$n->set("db", "mysql");
$m =& LocalConfig::getNamed("Config");
$l =& Config::getNamed("LocalConfig");
$l->set("cache", "on");
$k =& Registry::getNamed("LocalConfig");
echo $m->dump(), " ", $k->dump(), "\n";
$copy = Registry::getInstance();
$copy->set("lost", 1);
$again =& Registry::getInstance();
echo $again->dump(), "\n";
