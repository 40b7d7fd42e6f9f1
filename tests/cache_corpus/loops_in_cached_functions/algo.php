<?php
function primes($limit) {
    $found = array();
    for ($n = 2; count($found) < $limit; $n++) {
        foreach ($found as $p) {
            if ($p * $p > $n) { break; }
            if ($n % $p == 0) { continue 2; }
        }
        $found[] = $n;
    }
    return implode(",", $found);
}
function classify($values) {
    $out = "";
    foreach ($values as $k => $v) {
        switch (true) {
            case $v < 0: $out .= "n"; break;
            case $v == 0: $out .= "z"; continue 2;
            case $v > 100: $out .= "B"; break 2;
            default: $out .= "p";
        }
        $out .= $k;
    }
    return $out;
}
function nested_while($n) {
    $i = 0; $s = "";
    while (true) {
        $i++;
        $j = 0;
        do {
            $j++;
            if ($j == 2) { continue; }
            if ($i * $j > $n) { break 2; }
            $s .= $i . $j . " ";
        } while ($j < 3);
    }
    return trim($s);
}
