<?php
// The sieve of Eratosthenes up to 8192, repeated.
function sieve($rounds) {
    $count = 0;
    while ($rounds-- > 0) {
        $count = 0;
        $flags = range(0, 8192);
        for ($i = 2; $i < 8193; $i++) {
            if ($flags[$i] > 0) {
                for ($k = $i + $i; $k <= 8192; $k += $i) {
                    $flags[$k] = 0;
                }
                $count++;
            }
        }
    }
    return $count;
}
echo sieve(150), "\n";
