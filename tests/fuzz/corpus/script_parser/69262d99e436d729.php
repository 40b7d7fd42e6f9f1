<?php
$t = 1000000000;
echo date("Y-m-d H:i:s", $t), "|", date("D, d M Y", $t), "|", date("l jS F y", $t), "\n";
echo date("a A g G h H i s", $t), "|", date("a A g G h H", $t + 12 * 3600), "\n";
echo date("N w z t L W U", $t), "|", date("O P T e Z I", $t), "\n";
echo date("r", $t), "|", date("c", $t), "|", date("\\Y\\m\\d: Ymd", $t), "\n";
echo date("L t", 951782400), "|", date("W", 1230768000), "|", date("W", 1262304000), "|", date("W", 1104537600), "\n";
echo date("jS", 86400 * 1), " ", date("jS", 86400 * 2), " ", date("jS", 86400 * 10), " ", date("jS", 86400 * 12), " ", date("jS", 86400 * 21), " ", date("jS", 86400 * 22), "\n";
echo gmdate("H:i", 3600 * 5 + 60 * 7), "\n";
echo mktime(0, 0, 0, 1, 1, 2000), " ", mktime(12, 0, 0, 2, 30, 2001), " ", date("Y-m-d", mktime(0, 0, 0, 13, 1, 1999)), "\n";
var_dump(checkdate(2, 29, 2000), checkdate(2, 29, 1900), checkdate(13, 1, 2000));
$now = time();
var_dump($now > 1000000000, abs($now - (int)date("U")) <= 1);
$m = microtime();
var_dump(preg_like($m));
function preg_like($m) {
    $parts = explode(" ", $m);
    return count($parts) == 2 && strlen($parts[0]) == 10 && substr($parts[0], 0, 2) == "0." && $parts[1] >= 1000000000;
}
$f = microtime(true);
var_dump(is_float($f), $f > 1000000000);
var_dump(usleep(1000), sleep(0));
