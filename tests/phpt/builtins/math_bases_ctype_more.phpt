--TEST--
Number bases (bindec, octdec, decbin, decoct, base_convert with its refusals and past-integer values), logarithms and trigonometry, is_nan/is_finite/is_infinite; strspn/strcspn with start and length, str_rot13, the ctype tests for strings and integers, ip2long/long2ip, array_change_key_case, get_declared_classes
--ARGS--
-n
--FILE--
<?php
echo bindec("1101"), " ", bindec("12x1"), " ", octdec("777"), " ", decbin(10), " ", decoct(8), " ", strlen(decbin(-1)), "\n";
echo base_convert("ff", 16, 2), " ", base_convert("zz", 36, 10), " ", base_convert("Zz", 36, 16), "\n";
var_dump(base_convert("10", 1, 10), base_convert("10", 10, 37));
var_dump(bindec(str_repeat("1", 64)), base_convert("ffffffffffffffffff", 16, 10));
echo exp(1), " ", log(M_E), " ", log(8, 2), " ", log10(1000), " ", sin(0), " ", cos(M_PI), " ", atan2(1, 1), " ",
    atan(1), " ", asin(1), " ", tan(0), " ", deg2rad(180), " ", rad2deg(M_PI), " ", hypot(3, 4), "\n";
var_dump(is_nan(acos(2)), is_nan(1.0), is_finite(1e308 * 10), is_finite(5), is_infinite(-1e308 * 10), log(8, 0));
$v = lcg_value();
var_dump($v > 0 && $v < 1, sin());
echo strspn("42 is the answer", "1234567890"), strcspn("abcd", "cd"), strspn("foo", "o", 1, 2), strcspn("hello", "l", -4),
    strspn("aaa", "a", 1, -1), " ", str_rot13("Hello, World"), " ", str_rot13(str_rot13("PHP 4")), "\n";
var_dump(strspn("abc", "a", 5));
foreach (array("123", "12.3", "", 53, 1000, -1, null, 1.5) as $x)
    echo var_export($x, true), ":", ctype_digit($x) ? "y" : "n", " ";
echo "\n";
var_dump(ctype_alpha("abcXYZ"), ctype_alpha("ab1"), ctype_space(" \n\t"), ctype_upper("AB"), ctype_lower("aB"),
    ctype_xdigit("fF09"), ctype_alnum("a1"), ctype_punct("!?"), ctype_cntrl("\t"), ctype_graph("a b"), ctype_print("a b"));
var_dump(ip2long("192.168.1.1"), ip2long("10.1"), ip2long("300.1.1.1"), ip2long(""), long2ip(3232235777), long2ip(-1));
print_r(array_change_key_case(array('FirSt' => 1, 'SecOnd' => 4, 5 => 'x'), CASE_UPPER));
print_r(array_change_key_case(array('A' => 1, 'a' => 2)));
var_dump(array_change_key_case("x"));
class Foo {}
class BarBaz extends Foo {}
$c = get_declared_classes();
var_dump(in_array('stdclass', $c), in_array('barbaz', $c), array_search('foo', $c) < array_search('barbaz', $c));
--EXPECTF--
13 3 511 1010 10 64
11111111 1295 50f

Warning: base_convert(): Invalid `from base' (1) in %s on line %d

Warning: base_convert(): Invalid `to base' (37) in %s on line %d
bool(false)
bool(false)
float(1.844674407371E+19)
string(22) "4722366482869646642046"
2.718281828459 1 3 3 0 -1 0.78539816339745 0.78539816339745 1.5707963267949 0 3.1415926535898 180 5

Warning: log(): base must be greater than 0 in %s on line %d
bool(true)
bool(false)
bool(false)
bool(true)
bool(true)
bool(false)

Warning: Wrong parameter count for sin() in %s on line %d
bool(true)
NULL
22211 Uryyb, Jbeyq PHP 4
bool(false)
'123':y '12.3':n '':n 53:y 1000:y -1:n NULL:n 1.5:n 
bool(true)
bool(false)
bool(true)
bool(true)
bool(false)
bool(true)
bool(true)
bool(true)
bool(true)
bool(false)
bool(true)
int(3232235777)
int(167772161)
int(-1)
int(-1)
string(11) "192.168.1.1"
string(15) "255.255.255.255"
Array
(
    [FIRST] => 1
    [SECOND] => 4
    [5] => x
)
Array
(
    [a] => 2
)

Warning: array_change_key_case(): The argument should be an array in %s on line %d
bool(false)
bool(true)
bool(true)
bool(true)
