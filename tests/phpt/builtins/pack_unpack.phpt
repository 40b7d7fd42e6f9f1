--TEST--
pack and unpack: byte orders, strings and hex with their padding, counts and '*', named and numbered results, positions, and the warnings for unknown codes, missing arguments, short input and an oversized result
--ARGS--
-n
--FILE--
<?php
echo bin2hex(pack("nvc*", 0x1234, 0x5678, 65, 66)), "\n";
echo bin2hex(pack("NV", 1, 1)), " ", bin2hex(pack("a5A5", "ab", "cd")), " ", bin2hex(pack("H*h*", "abc1", "abc1")), "\n";
echo bin2hex(pack("Cx2C@6CX", 1, 2, 3)), "\n";
print_r(unpack("nbig/vlittle/C2chars/a3str", pack("nvC2a3", 258, 258, 7, 8, "hi")));
print_r(unpack("C*", "ABC"));
print_r(unpack("H*hex", "\x12\xab"));
print_r(unpack("l", pack("l", -5))); print_r(unpack("L", pack("l", -5)));
print_r(unpack("d", pack("d", 1.5)));
var_dump(unpack("N", "ab"));
var_dump(pack("Q", 1), pack("C"), pack("a"), pack("C", 1, 2));
var_dump(strlen(pack("a200000000", "x")));
var_dump(unpack("Z", "x"));
--EXPECTF--
123478564142
0000000101000000 61620000006364202020 abc1ba1c
010000020000
Array
(
    [big] => 258
    [little] => 258
    [chars1] => 7
    [chars2] => 8
    [str] => hi
)
Array
(
    [1] => 65
    [2] => 66
    [3] => 67
)
Array
(
    [hex] => 12ab
)
Array
(
    [1] => -5
)
Array
(
    [1] => 4294967291
)
Array
(
    [1] => 1.5
)

Warning: unpack(): Type N: not enough input, need 4, have 2 in %s on line 10
bool(false)

Warning: pack(): Type Q: unknown format code in %s on line 11

Warning: pack(): Type C: too few arguments in %s on line 11

Warning: pack(): Type a: not enough arguments in %s on line 11

Warning: pack(): 1 arguments unused in %s on line 11
bool(false)
bool(false)
bool(false)
string(1) ""

Warning: pack(): Type a: the result would exceed 67108864 bytes in %s on line 12
int(0)

Warning: unpack(): Invalid format type Z in %s on line 13
bool(false)
