<?php
error_reporting(E_ALL);
list($a, $b, $c) = array("one", "two", "three");
echo "$a $b $c\n";
list(, $second, , $fourth) = array(1, 2, 3, 4);
echo "$second $fourth\n";
list($x, list($y, list($z)), $w) = array("x", array("y", array("z")), "w");
echo "$x$y$z$w\n";
// the last target is assigned first
$info = array("coffee", "brown", "caffeine");
list($drink[0], $drink[1], $drink[2]) = $info;
echo implode(",", array_keys($drink)), " ", implode(",", $drink), "\n";
// the targets' own indexes are evaluated before the value, left to right
$i = 0;
list($q[$i++], $q[$i++]) = array("first", "second");
print_r($q);
// swapping through a value built first
$l = 1; $r = 2;
list($l, $r) = array($r, $l);
echo "$l $r\n";
// a missing element is null, with a notice
list($p1, $p2) = array(7);
var_dump($p2);
// string keys are not read: list() takes 0, 1, 2...
list($k0, $k1) = array("a" => "A", 1 => "one");
var_dump($k0, $k1);
// a value that is no array: every target gets null, silently
list($n1, $n2) = false;
var_dump($n1, $n2);
// a string variable gives its characters; a string literal does not
$word = "hi";
list($h, $hi) = $word;
list($l1) = "literal";
var_dump($h, $hi, $l1);
// the value of the whole expression is the right-hand side
$v = list($m) = array(5, 6);
echo count($v), " ", $m, "\n";
var_dump(list($e) = array());
list() = array(1);
// targets may be properties and elements of elements
$o = new stdClass;
list($o->first, $grid[1][2]) = array("F", "G");
echo $o->first, $grid[1][2], "\n";
// in a condition with each()
$colors = array("r" => "red", "g" => "green");
while (list($key, $val) = each($colors)) echo "$key=$val ";
echo "\n";
var_dump($key, $val);
// inside a function, from a function's result
function pair() { return array("left", "right"); }
function split_pair() { list($a, $b) = pair(); return "$b-$a"; }
echo split_pair(), "\n";
