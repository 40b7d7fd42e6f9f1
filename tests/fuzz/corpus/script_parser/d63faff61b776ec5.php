<?php
$a = array("x" => 1, "y" => 2, "z" => 3);
foreach ($a as $k => $v) {
    $a[$k] = $v * 10;
    $a["added$k"] = 0;
    echo "$k:$v ";
}
echo "\n", count($a), " ", $a["y"], "\n";
foreach (array(array(1, 2), array(3)) as $row) {
    foreach ($row as $cell) echo $cell;
    echo "|";
}
echo "\n";
$r = array(1, 2, 3);
$ref = &$r;
foreach ($r as $v) { $ref[] = $v; if ($v > 10) break; }
echo count($r), "\n";
class P { var $a = 1; var $b = "two"; }
$p = new P;
foreach ($p as $name => $value) echo "$name=$value ";
echo "\n";
foreach ($undefinedthing as $v) echo "never";
echo "after\n";
function gen() { return array("r1", "r2"); }
foreach (gen() as $i => $v) echo "$i$v";
echo "\n";
