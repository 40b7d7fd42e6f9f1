<?php
// Integer-keyed arrays: filled, copied element by element, summed in place.
function fill_and_copy($n) {
    $x = array();
    for ($i = 0; $i < $n; $i++) {
        $x[$i] = $i;
    }
    $y = array();
    for ($i = $n - 1; $i >= 0; $i--) {
        $y[$i] = $x[$i];
    }
    return $y[$n - 1];
}
function sum_in_place($n, $rounds) {
    $x = array();
    $y = array();
    for ($i = 0; $i < $n; $i++) {
        $x[$i] = $i + 1;
        $y[$i] = 0;
    }
    for ($k = 0; $k < $rounds; $k++) {
        for ($i = $n - 1; $i >= 0; $i--) {
            $y[$i] += $x[$i];
        }
    }
    return $y[0] . ' ' . $y[$n - 1];
}
echo fill_and_copy(400000), "\n";
echo sum_in_place(2000, 400), "\n";
