<?php
// break and continue at several levels inside functions of a cached file.
include "algo.php";
echo primes(12), "\n", classify(array(5, -1, 0, 7, 200, 3)), "\n", nested_while(7), "\n";
