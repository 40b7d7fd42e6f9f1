--TEST--
Arrays: literals, nesting, append, keys, deep writes, copies on assignment
--ARGS--
-n
--FILE--
<?php
$a = array(1, 2, "k" => "v", 10 => "ten", "nested" => array("x" => array(1, 2)));
$a[] = "eleven";
echo $a[0], $a[1], $a["k"], $a[10], $a[11], $a["nested"]["x"][1], "\n";
$b = $a;
$b["k"] = "changed";
$b["nested"]["x"][1] = 99;
echo $a["k"], $a["nested"]["x"][1], " ", $b["k"], $b["nested"]["x"][1], "\n";
$c["new"]["deep"][] = "made";
$c["new"]["deep"][] = "again";
echo count($c["new"]["deep"]), $c["new"]["deep"][1], "\n";
$d = array("5" => "five", "05" => "oh-five");
echo $d[5], " ", $d["05"], " ", count($d), "\n";
$e = array();
$e[3] = 'c'; $e[] = 'd'; $e["x"] = 'e'; $e[] = 'f';
foreach ($e as $k => $v) echo "$k=$v ";
echo "\n";
$s = "hello";
echo $s[1], $s{4}, "\n";
$m = array(array(1, 2), array(3, 4));
$m[1][0] += 10;
$m[0][1]++;
echo $m[0][1], $m[1][0], "\n";
unset($m[0]);
echo count($m), isset($m[0]) ? "y" : "n", isset($m[1][1]) ? "y" : "n", "\n";
$t = true;
echo array(1, 2) == array(1, 2) ? "same" : "diff", "\n";
--EXPECT--
12vteneleven2
v2 changed99
2again
five oh-five 2
3=c 4=d x=e 5=f 
eo
313
1ny
same
