<?php
// iterations: 4000000
// A built-in function of two arguments, its result unused.
$n = 4000000;
for ($i = 0; $i < $n; $i++) {
    str_repeat("ab", 2);
}
echo $i, "\n";
