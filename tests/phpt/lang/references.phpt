--TEST--
References: =&, references into arrays, unset breaks a reference, copies of referenced values
--ARGS--
-n
--FILE--
<?php
$a = 1;
$b = &$a;
$b = 2;
echo $a, "\n";
unset($b);
$b = 3;
echo $a, $b, "\n";
$arr = array(1, 2, 3);
$r = &$arr[1];
$r = "two";
echo $arr[1], "\n";
$copy = $arr;
$r = "shared";
echo $copy[1], "\n";
$x = "orig";
$list = array();
$list[] = &$x;
$list[0] = "through";
echo $x, "\n";
$m = array("k" => array("n" => 1));
$inner = &$m["k"]["n"];
$inner++;
echo $m["k"]["n"], "\n";
$v = 10;
$w = &$v;
$plain = $w;
$plain = 11;
echo $v, "\n";
function &getref(&$arr) { return $arr; }
$g = array(1);
$h = getref($g);
$h[] = 2;
echo count($g), "\n";
$self = array(1);
$self[] = $self;
echo count($self), count($self[1]), "\n";
--EXPECTF--
2
23
two
shared
through
2
10
1
21
