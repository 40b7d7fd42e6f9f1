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
