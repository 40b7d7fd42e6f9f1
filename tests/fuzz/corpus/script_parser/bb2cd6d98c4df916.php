<?php
error_reporting(E_ALL);
$s = "abc";
var_dump($s[0], $s{2}, $s[3], $s[-1], $s["1"]);
echo "[" . $s[10] . "]\n";
var_dump(isset($s[2]), isset($s[3]), empty($s[3]), empty($s[1]));
$e = "";
var_dump($e[0]);
