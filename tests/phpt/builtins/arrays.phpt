--TEST--
Array functions: count, keys and values, search, merge, stack operations, range, key tests, sorts, slices
--ARGS--
-n
--FILE--
<?php
$a = array("x" => 1, "y" => 2, 3);
echo count($a), count(array()), count(null), count("s"), sizeof($a), count(array(1, array(2, 3)), COUNT_RECURSIVE), "\n";
print_r(array_keys($a));
print_r(array_keys(array(1, "1", 2, 1), 1));
print_r(array_values($a));
var_dump(in_array("2", $a), in_array("2", $a, true), in_array(5, $a), array_search(2, $a), array_search(9, $a));
print_r(array_merge(array("a" => 1, 5 => "five"), array("a" => 2, 9 => "nine", "b" => 3)));
$stack = array(1, 2);
echo array_push($stack, 3, 4), " ", array_pop($stack), " ", array_shift($stack), " ", implode(",", $stack), "\n";
$stack[] = "next";
print_r($stack);
echo implode(",", range(1, 5)), "|", implode(",", range(10, 0, 5)), "|", implode("", range("a", "e")), "|", implode(",", range(3, 1)), "\n";
var_dump(array_key_exists("x", $a), array_key_exists(0, $a), array_key_exists("zz", $a));
$s = array("banana", "apple", "cherry", "Apple");
sort($s); echo implode(",", $s), "\n";
rsort($s); echo implode(",", $s), "\n";
$k = array("b" => 2, "c" => 1, "a" => 3);
ksort($k); print_r($k);
asort($k); echo implode(",", array_keys($k)), "\n";
arsort($k); echo implode(",", array_keys($k)), "\n";
krsort($k); echo implode(",", array_keys($k)), "\n";
$n = array(5, 3, 10, 1);
sort($n, SORT_STRING); echo implode(",", $n), "\n";
print_r(array_reverse(array("x" => 1, 2, 3)));
print_r(array_slice(array(1, 2, 3, 4, 5), 1, 3));
print_r(array_slice(array(1, 2, 3, 4, 5), -2));
print_r(array_flip(array("a", "b")));
echo array_sum(array(1, 2, "3", 4.5)), " ", array_sum(array(1, 2)), "\n";
print_r(array_unique(array(1, "1", 2, "a", "a")));
$e = array(); var_dump(array_pop($e), count($e));
$m = array(3, "10", 2.5, -1); sort($m); echo implode(",", $m), "\n";
--EXPECT--
300134
Array
(
    [0] => x
    [1] => y
    [2] => 0
)
Array
(
    [0] => 0
    [1] => 1
    [2] => 3
)
Array
(
    [0] => 1
    [1] => 2
    [2] => 3
)
bool(true)
bool(false)
bool(false)
string(1) "y"
bool(false)
Array
(
    [a] => 2
    [0] => five
    [1] => nine
    [b] => 3
)
4 4 1 2,3
Array
(
    [0] => 2
    [1] => 3
    [2] => next
)
1,2,3,4,5|10,5,0|abcde|3,2,1
bool(true)
bool(true)
bool(false)
Apple,apple,banana,cherry
cherry,banana,apple,Apple
Array
(
    [a] => 3
    [b] => 2
    [c] => 1
)
c,b,a
a,b,c
c,b,a
1,10,3,5
Array
(
    [0] => 3
    [1] => 2
    [x] => 1
)
Array
(
    [0] => 2
    [1] => 3
    [2] => 4
)
Array
(
    [0] => 4
    [1] => 5
)
Array
(
    [a] => 0
    [b] => 1
)
10.5 3
Array
(
    [0] => 1
    [2] => 2
    [3] => a
)
NULL
int(0)
-1,2.5,3,10
