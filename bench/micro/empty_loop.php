<?php
// iterations: 30000000
// An empty for loop: compare, increment, jump.
$n = 30000000;
for ($i = 0; $i < $n; $i++) {
}
echo $i, "\n";
