<?php
// Heapsort of pseudo-random floats in an array passed by reference.
define('RAND_M', 139968);
define('RAND_A', 3877);
define('RAND_C', 29573);
$seed = 42;
function next_random($max) {
    global $seed;
    $seed = ($seed * RAND_A + RAND_C) % RAND_M;
    return $max * $seed / RAND_M;
}
function heapsort_array($n, &$ra) {
    $l = ($n >> 1) + 1;
    $ir = $n;
    while (1) {
        if ($l > 1) {
            $rra = $ra[--$l];
        } else {
            $rra = $ra[$ir];
            $ra[$ir] = $ra[1];
            if (--$ir == 1) {
                $ra[1] = $rra;
                return;
            }
        }
        $i = $l;
        $j = $l << 1;
        while ($j <= $ir) {
            if ($j < $ir && $ra[$j] < $ra[$j + 1]) {
                $j++;
            }
            if ($rra < $ra[$j]) {
                $ra[$i] = $ra[$j];
                $i = $j;
                $j += $j;
            } else {
                $j = $ir + 1;
            }
        }
        $ra[$i] = $rra;
    }
}
$n = 100000;
$data = array();
for ($i = 1; $i <= $n; $i++) {
    $data[$i] = next_random(1);
}
heapsort_array($n, $data);
printf("%.10f %.10f\n", $data[1], $data[$n]);
