<?php
// Multiplication of 30x30 integer matrices held as arrays of arrays.
function make_matrix($rows, $cols) {
    $count = 1;
    $m = array();
    for ($i = 0; $i < $rows; $i++) {
        for ($j = 0; $j < $cols; $j++) {
            $m[$i][$j] = $count++;
        }
    }
    return $m;
}
function multiply($rows, $cols, $m1, $m2) {
    $m3 = array();
    for ($i = 0; $i < $rows; $i++) {
        for ($j = 0; $j < $cols; $j++) {
            $x = 0;
            for ($k = 0; $k < $cols; $k++) {
                $x += $m1[$i][$k] * $m2[$k][$j];
            }
            $m3[$i][$j] = $x;
        }
    }
    return $m3;
}
$size = 30;
$a = make_matrix($size, $size);
$b = make_matrix($size, $size);
for ($n = 0; $n < 100; $n++) {
    $c = multiply($size, $size, $a, $b);
}
echo $c[0][0], ' ', $c[2][3], ' ', $c[3][2], ' ', $c[29][29], "\n";
