<?php
function depth($n) { return $n == 0 ? 0 : 1 + depth($n - 1); }
echo depth(500), "\n";
function sum($arr, $i) { if ($i >= count($arr)) return 0; return $arr[$i] + sum($arr, $i + 1); }
echo sum(range(1, 100), 0), "\n";
function forever($n) { return forever($n + 1); }
forever(0);
echo "not reached\n";
