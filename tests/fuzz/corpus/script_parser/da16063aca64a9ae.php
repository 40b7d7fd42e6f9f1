<?php
$name = "dyn"; $$name = "value"; echo $dyn, " ", ${"d" . "yn"}, "\n";
$o = new stdClass; $o->list[] = 1; $o->list[] = 2; $o->map["k"]->deep = "x";
echo count($o->list), $o->map["k"]->deep, "\n";
$p = "list"; echo count($o->$p), "\n";
$arr = array("a" => array("b" => "c")); $k = "a";
echo "interp: $arr[a] {$arr['a']['b']} $o->list ${name}\n";
$objs = array(new stdClass); $objs[0]->prop = "set"; echo $objs[0]->prop, "\n";
function modify(&$x) { $x = "modified"; }
modify($o->byref); modify($arr["new"]["deep"]); echo $o->byref, $arr["new"]["deep"], "\n";
$i = 5; $j = $i++ + ++$i; echo $i, $j, "\n";
$s = "abc"; $s++; echo $s, "\n";
$z = "Az"; $z++; echo $z, "\n";
$n = null; $n++; echo $n, "\n";
$d = null; $d--; var_dump($d);
$str = "5 apples"; echo $str + 5, "\n";
echo "a" == 0 ? "t" : "f", "1e1" == "10" ? "t" : "f", "abc" == "ABC" ? "t" : "f", "\n";
$arr2 = array(3 => 'x'); $arr2[] = 'y'; echo implode(",", array_keys($arr2)), "\n";
$neg = array(-5 => 'a'); $neg[] = 'b'; echo implode(",", array_keys($neg)), "\n";
echo $undefined_array["x"], "|\n";
$x = array(1,2,3); echo $x, "\n";
