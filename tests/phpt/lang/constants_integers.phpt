--TEST--
Constant names are byte strings; PHP_INT_MAX and PHP_INT_SIZE are the engine's long; integer overflow becomes a float at that width
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
var_dump(define("A\0B", "with nul"), define("A", "plain"));
var_dump(constant("A\0B"), constant("A"), defined("A\0B"), defined("A\0C"));
var_dump(define("A\0B", "again"));
var_dump(PHP_INT_MAX, PHP_INT_SIZE, -PHP_INT_MAX - 1);
var_dump(PHP_INT_MAX + 1, PHP_INT_MAX * 2, -PHP_INT_MAX - 2);
$i = PHP_INT_MAX;
$i++;
var_dump($i);
$j = -PHP_INT_MAX - 1;
$j--;
var_dump($j);
var_dump(9223372036854775807, 9223372036854775808, 0x7FFFFFFFFFFFFFFF, 0x8000000000000000);
var_dump(2147483647 + 1, 4294967296 * 4294967296);
var_dump((int)"9223372036854775807", intval("99999999999999999999"));
--EXPECTF--
bool(true)
bool(true)
string(8) "with nul"
string(5) "plain"
bool(true)
bool(false)

Notice: Constant A already defined in %s on line 5
bool(false)
int(9223372036854775807)
int(8)
int(-9223372036854775808)
float(9.2233720368548E+18)
float(1.844674407371E+19)
float(-9.2233720368548E+18)
float(9.2233720368548E+18)
float(-9.2233720368548E+18)
int(9223372036854775807)
float(9.2233720368548E+18)
int(9223372036854775807)
float(9.2233720368548E+18)
int(2147483648)
float(1.844674407371E+19)
int(9223372036854775807)
int(9223372036854775807)
