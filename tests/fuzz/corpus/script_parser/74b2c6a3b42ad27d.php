<?php
echo 1 + 2 * 3, " ", (1 + 2) * 3, " ", 7 % 3, " ", 10 / 4, " ", -3 - -5, "\n";
echo "a" . 1 + 2, "\n";
$r = print "printed\n";
echo $r, "\n";
echo 1 < 2, "|", 2 < 1, "|", 3 >= 3, "|", 4 > 5, "\n";
echo "10" == 10 ? "eq" : "ne", " ", "10" === 10 ? "id" : "nid", " ", null == false ? "nf" : "", "\n";
echo 6 & 3, " ", 6 | 3, " ", 6 ^ 3, " ", 1 << 4, " ", 256 >> 2, " ", ~0, "\n";
echo true && false ? "t" : "f", " ", (true || $undefined) ? "t" : "f", " ", true xor true ? "t" : "f", "\n";
$x = 5; $x += 3; $x -= 1; $x *= 2; $x /= 7; $x .= "!"; echo $x, "\n";
$m = 17; $m %= 5; echo $m, "\n";
echo (int)"12abc", " ", (float)"1.5", " ", (string)3, " ", (bool)"0" ? "t" : "f", " ", count((array)"s"), "\n";
echo 0x1F, " ", 1.5e3, "\n";
?>
tail
