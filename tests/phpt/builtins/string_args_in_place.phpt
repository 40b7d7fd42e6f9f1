--TEST--
String arguments read where they lie: the subject of preg_match is not disturbed when matches is the same variable (plain or a reference), numbers and arrays are converted for the call only, and the caller's variables keep their values and types
--ARGS--
-n
--FILE--
<?php
$s = "abcabc";
var_dump(preg_match('/(b)(c)/', $s, $s), $s);
$r = "xbcx"; $t = &$r;
var_dump(preg_match_all('/(b)(c)/', $t, $t), $r === $t, count($r));
$n = 12345;
var_dump(preg_match('/3(4)/', $n, $m), $m[1], $n);
$i = 98765; $j = &$i;
var_dump(strlen($i), $i, $j);
// a number as needle is a character code
var_dump(strpos($i, 7), substr($j, 1, 2), substr_count(1212, 12), strcmp(10, 9), strncmp(123, 124, 2), ord(65));
var_dump($i, $j);
$f = 1.5;
var_dump(strstr($f, '.'), strrchr($f, '.'), explode('.', $f), $f);
$a = array(1);
var_dump(@strlen($a), strpos('xArrayx', 'A'));
// the same string twice, read in one call
$w = "hello";
var_dump(strcmp($w, $w), substr_count($w, $w), explode($w, $w));
// a long subject searched many times
$big = str_repeat("ab", 50000) . "c";
$hits = 0;
for ($k = 0; $k < 2000; $k++) { if (strpos($big, "c", $k) === 100000) $hits++; }
var_dump($hits, strlen($big));
--EXPECT--
int(1)
array(3) {
  [0]=>
  string(2) "bc"
  [1]=>
  string(1) "b"
  [2]=>
  string(1) "c"
}
int(1)
bool(true)
int(3)
int(1)
string(1) "4"
int(12345)
int(5)
int(98765)
int(98765)
bool(false)
string(2) "87"
int(2)
int(-8)
int(0)
int(54)
int(98765)
int(98765)
string(2) ".5"
string(2) ".5"
array(2) {
  [0]=>
  string(1) "1"
  [1]=>
  string(1) "5"
}
float(1.5)
int(5)
int(1)
int(0)
int(1)
array(2) {
  [0]=>
  string(0) ""
  [1]=>
  string(0) ""
}
int(2000)
int(100001)
