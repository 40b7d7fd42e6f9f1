<?php
$s = "hello";
$s[0] = "J"; $s{4} = "y!";
echo $s, "\n";
$t = $s;
$t[1] = "E";
echo $s, " ", $t, "\n";
$u = "ab"; $u[4] = "z"; echo "[$u]\n";
$v = "abc"; $r = ($v[1] = "X"); echo $v, $r, "\n";
$w = "abc"; $w[0] .= "q"; echo $w, "\n";
$arr = array("s" => "xyz"); $arr["s"][2] = "Z"; echo $arr["s"], "\n";
$n = "num"; $n[-1] = "x"; echo $n, "\n";
