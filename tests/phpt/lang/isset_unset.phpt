--TEST--
isset, empty and unset on variables, elements, properties; the @ operator; undefined variables read null
--ARGS--
-n -d error_reporting=2047
--FILE--
<?php
$a = array("x" => 1, "n" => null, "z" => 0, "s" => "", "d" => array("e" => "f"));
foreach (array("x", "n", "z", "s", "missing") as $k) echo $k, isset($a[$k]) ? "+" : "-", empty($a[$k]) ? "E" : "F", " ";
echo "\n";
echo isset($a["d"]["e"]) ? 1 : 0, isset($a["d"]["q"]) ? 1 : 0, isset($a["x"], $a["d"]) ? 1 : 0, isset($a["x"], $nothing) ? 1 : 0, "\n";
echo isset($nothing["deep"]["er"]) ? 1 : 0, empty($nothing) ? 1 : 0, "\n";
$o = new stdClass;
$o->p = 1;
echo isset($o->p) ? 1 : 0, isset($o->q) ? 1 : 0, "\n";
unset($o->p, $a["x"], $a["d"]["e"], $unsetnothing, $a["missing"]["deep"]);
echo isset($o->p) ? 1 : 0, count($a), count($a["d"]), "\n";
$v = "here";
unset($v);
echo isset($v) ? "set" : "gone", "\n";
echo @$undefined_var, @$a["nokey"], "quiet\n";
echo $loud;
echo "|", 10 / 0, "|", @(10 / 0), "|\n";
$copy = $a;
unset($copy["z"]);
echo isset($a["z"]) ? "kept" : "lost", "\n";
--EXPECTF--
x+F n-E z+E s+E missing-E 
1010
01
10
040
gone
quiet

Notice: Undefined variable: loud in %s on line 16
|
Warning: Division by zero in %s on line 17
||
kept
