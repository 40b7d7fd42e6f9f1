--TEST--
Reading a string offset past either end gives "" with a notice; isset() and empty() stay quiet
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
$s = "abc";
var_dump($s[0], $s{2}, $s[3], $s[-1], $s["1"]);
echo "[" . $s[10] . "]\n";
var_dump(isset($s[2]), isset($s[3]), empty($s[3]), empty($s[1]));
$e = "";
var_dump($e[0]);
--EXPECTF--

Notice: Uninitialized string offset:  3 in %s on line 4

Notice: Uninitialized string offset:  -1 in %s on line 4
string(1) "a"
string(1) "c"
string(0) ""
string(0) ""
string(1) "b"

Notice: Uninitialized string offset:  10 in %s on line 5
[]
bool(true)
bool(false)
bool(true)
bool(false)

Notice: Uninitialized string offset:  0 in %s on line 8
string(0) ""
