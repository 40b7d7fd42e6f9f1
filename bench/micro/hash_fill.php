<?php
// String-keyed arrays: hexadecimal keys filled and looked up, then one
// table added into another with foreach.
function hex_keys($n) {
    $x = array();
    for ($i = 1; $i <= $n; $i++) {
        $x[dechex($i)] = $i;
    }
    $found = 0;
    for ($i = $n; $i > 0; $i--) {
        if ($x[dechex($i)]) {
            $found++;
        }
    }
    return $found;
}
function add_tables($n, $rounds) {
    $a = array();
    $b = array();
    for ($i = 0; $i < $n; $i++) {
        $a["foo_$i"] = $i;
        $b["foo_$i"] = 0;
    }
    for ($r = $rounds; $r > 0; $r--) {
        foreach ($a as $key => $value) {
            $b[$key] += $value;
        }
    }
    $last = 'foo_' . ($n - 1);
    return $a['foo_0'] . ' ' . $a[$last] . ' ' . $b['foo_0'] . ' ' . $b[$last];
}
echo hex_keys(200000), "\n";
echo add_tables(1000, 600), "\n";
