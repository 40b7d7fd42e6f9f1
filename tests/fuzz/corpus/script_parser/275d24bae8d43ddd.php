<?php
class Point { var $x = 1; var $y; var $tags = array("a"); }
$p = new Point();
var_dump(1, -2.5, "two", false, null);
var_dump(array("k" => array(1, array()), 2 => $p));
print_r($p); echo "\n";
print_r(array(1, array("a" => null, "b" => false, "c" => true, "d" => 1.25), $p));
print_r("scalar\n");
$s = print_r(array(1), true);
echo strlen($s), ":", str_replace("\n", "|", $s), "\n";
var_export(array(1, "a" => array("it's", "back\\slash"), "f" => 1.5, "b" => true, "n" => null));
echo "\n";
var_export($p); echo "\n";
var_export("plain"); echo "\n";
$e = var_export(array(2 => 3), true);
echo str_replace("\n", "|", $e), "\n";
$r = array("self" => 1);
$r["me"] = &$r;
print_r($r);
echo "\n";
