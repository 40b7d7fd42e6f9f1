--TEST--
date and gmdate format letters as the original engine had them (later letters are plain text, the week number unpadded, "r" with a space-padded day), mktime roll-over, checkdate, time and microtime (TZ is UTC under the runner)
--ARGS--
-n
--FILE--
<?php
$t = 1000000000;
echo date("Y-m-d H:i:s", $t), "|", date("D, d M Y", $t), "|", date("l jS F y", $t), "\n";
echo date("a A g G h H i s", $t), "|", date("a A g G h H", $t + 12 * 3600), "\n";
echo date("N w z t L W U", $t), "|", date("O P T e Z I", $t), "\n";
echo date("r", $t), "|", date("c", $t), "|", date("\\Y\\m\\d: Ymd", $t), "\n";
echo date("L t", 951782400), "|", date("W", 1230768000), "|", date("W", 1262304000), "|", date("W", 1104537600), "\n";
echo date("W", 1230508800), " ", date("W", 1104364800), " ", date("W", 1136073600), " ", date("W", 1136160000), " ", date("W", 1199059200), " ", date("r", 1136073600 + 86400 * 20), "\n";
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
var_dump(is_string($f), preg_like($f));
var_dump(usleep(1000), sleep(0));
--EXPECT--
2001-09-09 01:46:40|Sun, 09 Sep 2001|Sunday 9th September 01
am AM 1 1 01 01 46 40|pm PM 1 13 01 13
N 0 251 30 0 36 1000000000|+0000 P UTC e 0 0
Sun,  9 Sep 2001 01:46:40 +0000|c|Ymd: 20010909
1 29|1|53|53
1 53 52 1 1 Sat, 21 Jan 2006 00:00:00 +0000
2nd 3rd 11th 13th 22nd 23rd
05:07
946684800 983534400 2000-01-01
bool(true)
bool(false)
bool(false)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
NULL
NULL
