--TEST--
A whole "0x.." string is a hexadecimal number where strings are read as numbers (arithmetic, loose comparison, is_numeric) but not in casts; "[] operator not supported for strings" is fatal, while an empty string, null or false still becomes an array
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
var_dump("0x10" + 0, "0x1A" == 26, "0x1a" == "26", "0X1a" == "0x1A", "0x10" * 1.5);
var_dump(is_numeric("0x1F"), is_numeric("0x"), is_numeric("0xZ"), is_numeric("0x1G"), (int)"0x1A", intval("0x1A"));
var_dump("0xFFFFFFFFFFFFFFFFFF" + 0, "0x1A" == "1A", in_array("0x0A", array(10)));
$a = array("0x10" => 1);
var_dump(key($a));
$s = "";
$s[] = 1;
$f = false;
$f[] = 'x';
var_dump($s, $f);
$str = "abc";
$str[1] = 'X';
echo $str, "\n";
$str[] = 'd';
echo "not reached\n";
--EXPECTF--
int(16)
bool(true)
bool(true)
bool(true)
float(24)
bool(true)
bool(false)
bool(false)
bool(false)
int(0)
int(0)
int(0)
bool(false)
bool(true)
string(4) "0x10"
array(1) {
  [0]=>
  int(1)
}
array(1) {
  [0]=>
  string(1) "x"
}
aXc

Fatal error: [] operator not supported for strings in %s on line %d
