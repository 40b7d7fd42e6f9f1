<?php
$out = "";
for ($i = 0; $i < 10; $i++) {
    if ($i == 2) { continue; }
    if ($i == 7) { break; }
    $j = 0;
    while (true) {
        $j++;
        if ($j > 3) { break; }
        if ($j == 2) { continue; }
        $out .= $i . $j . " ";
    }
}
echo $out, "\n";
$list = array("a" => 1, "b" => 2, "c" => 3);
foreach ($list as $k => $v) {
    switch ($v) {
        case 1: echo "one"; break;
        case 2: echo "two"; continue 2;
        default: echo "many";
    }
    echo "($k)";
}
echo "\n";
$n = 0;
do { $n += 3; } while ($n < 10);
echo $n, "\n";
foreach (array(1, 2, 3) as $a) {
    foreach (array(1, 2, 3) as $b) {
        if ($b == 2) { continue 2; }
        echo $a, $b, " ";
    }
}
echo "\n";
