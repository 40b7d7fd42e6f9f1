--TEST--
array_walk (by-reference callbacks change the elements, keys and user data passed, callbacks that change the array) and array_reduce
--ARGS--
-n
--FILE--
<?php
function show($a) { $out = array(); foreach ($a as $k => $v) $out[] = "$k=$v"; echo implode(' ', $out), "\n"; }
function trim_value(&$value) { $value = trim($value); }
$fruit = array('a' => ' lemon ', 'b' => ' orange', 5 => 'banana ');
var_dump(array_walk($fruit, 'trim_value')); show($fruit);
function label(&$item, $key, $prefix) { $item = "$prefix: $key=$item"; }
array_walk($fruit, 'label', 'fruit'); show($fruit);
function by_value($item, $key) { $item = 'lost'; echo "$key "; }
array_walk($fruit, 'by_value'); echo "\n"; show($fruit);
// a walked array keeps working as a plain array afterwards
$copy = $fruit; $copy['a'] = 'changed'; echo $fruit['a'], "\n";
// a method as the callback
class Doubler { function twice(&$v) { $v *= 2; } }
$nums = array(1, 2, 3); array_walk($nums, array('Doubler', 'twice')); show($nums);
// the callback may change the array it walks
function shrink(&$v, $k) { global $list; unset($list[2]); $list[] = 'added'; echo "[$k]"; }
$list = array(1, 2, 3); array_walk($list, 'shrink'); echo "\n"; show($list);
var_dump(array_walk($nums, 'no_such_function'));
var_dump(array_walk($nums, 5));
var_dump(array_walk($notarray, 'trim_value'));
function sum($carry, $item) { return $carry + $item; }
function product($carry, $item) { return $carry * $item; }
var_dump(array_reduce(array(1, 2, 3, 4, 5), 'sum'));
var_dump(array_reduce(array(1, 2, 3, 4, 5), 'product', 10));
var_dump(array_reduce(array(), 'sum', 'No data to reduce'));
var_dump(array_reduce(array(), 'sum'));
function concat($c, $i) { return $c . $i; }
var_dump(array_reduce(array('a' => 'x', 'b' => 'y'), 'concat', '>'));
var_dump(array_reduce('x', 'sum'));
var_dump(array_reduce(array(1), 'nope'));
--EXPECTF--
bool(true)
a=lemon b=orange 5=banana
a=fruit: a=lemon b=fruit: b=orange 5=fruit: 5=banana
a b 5 
a=fruit: a=lemon b=fruit: b=orange 5=fruit: 5=banana
fruit: a=lemon
0=2 1=4 2=6
[0][1]
0=1 1=2 3=added 4=added

Warning: array_walk(): Unable to call no_such_function() - function does not exist in %s on line %d
bool(true)

Warning: array_walk(): Wrong syntax for function name in %s on line %d
bool(false)

Warning: array_walk(): The argument should be an array in %s on line %d
bool(false)
int(15)
int(1200)
string(17) "No data to reduce"
NULL
string(3) ">xy"

Warning: array_reduce(): The first argument should be an array in %s on line %d
NULL

Warning: array_reduce(): The second argument, 'nope', should be a valid callback in %s on line %d
NULL
