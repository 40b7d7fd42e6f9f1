<?php
$values = array(1, 1.5, "1", "1.5e3", " 12", "12 ", "abc", "", null, true, array());
foreach ($values as $v) {
    echo gettype($v), ":", is_int($v) ? "i" : "-", is_float($v) ? "f" : "-", is_string($v) ? "s" : "-",
        is_bool($v) ? "b" : "-", is_null($v) ? "n" : "-", is_array($v) ? "a" : "-", is_numeric($v) ? "N" : "-",
        is_scalar($v) ? "S" : "-", "\n";
}
var_dump(is_integer(5), is_long(5), is_double(5.0), is_object(5));
var_dump(intval("42abc"), intval(3.99), intval(-3.99), intval("12", 8), intval("ff", 16), intval(null), intval(true));
var_dump(floatval("1.5abc"), floatval("x"), strval(1.0), strval(0.1), strval(true), strval(null));
$v = "123"; settype($v, "integer"); var_dump($v);
$v = 5; settype($v, "string"); var_dump($v);
$v = "x"; settype($v, "array"); var_dump($v);
$v = 0; settype($v, "bool"); var_dump($v);
var_dump(settype($v, "nonsense"));
var_dump(min(3, 1, 2), max(3, 1, 2), min(array(5, -2)), max("apple", "banana"), max(1, 2.5), min("10", 9));
var_dump(max(5));
var_dump(abs(-5), abs(-5.5), abs("-3"), floor(2.7), ceil(2.1), floor(-2.5), ceil(-2.5));
var_dump(round(2.5), round(-2.5), round(1.955, 2), round(1234.5678, -2), round(5.045, 2), round(5.055, 2));
var_dump(pow(2, 10), pow(2, -1), pow(2.0, 3), sqrt(16), sqrt(2), fmod(10, 3));
$r = rand(5, 10); $m = mt_rand(1, 3);
var_dump($r >= 5 && $r <= 10, $m >= 1 && $m <= 3, getrandmax() > 0);
mt_srand(42); $a = mt_rand(); mt_srand(42); var_dump($a == mt_rand());
var_dump(dechex(255), hexdec("ff"), hexdec("0x1A"));
