--TEST--
Arrays: array_splice, array_diff/_assoc, array_intersect/_assoc, array_merge and array_merge_recursive, array_count_values, array_chunk, array_sum, array_key_exists
--ARGS--
-n
--FILE--
<?php
function show($a) { $out = array(); foreach ($a as $k => $v) $out[] = "$k=" . (is_array($v) ? '(' . implode(',', $v) . ')' : $v); echo implode(' ', $out), "\n"; }
$b = array('a', 'b', 'c', 'd', 'e');
show(array_splice($b, 1, 2, array('X', 'Y', 'Z'))); show($b);
$b = array('k' => 1, 5 => 2, 9 => 3);
show(array_splice($b, -1)); show($b);
$b = array(1, 2, 3); array_splice($b, 1, 0, 'new'); show($b);
$b = array(1, 2, 3); array_splice($b, 5, 1, array(9)); show($b);
$b = array(1, 2, 3, 4); show(array_splice($b, 1, -1)); show($b);
$b = array(1, 2, 3, 4); show(array_splice($b, -3, -5)); show($b);
$b = array('x' => 1, 'y' => 2); show(array_splice($b, 0, 1, array('x' => 'new'))); show($b);
$b = array(1, 2); array_splice($b, 1, 1, null); show($b);
$s = 'str'; var_dump(array_splice($s, 0));
show(array_diff(array('a' => 'green', 'red', 'blue', 'red'), array('b' => 'green', 'yellow', 'red')));
show(array_diff(array(1, '1', 2, 3.0), array('3'), array(2)));
show(array_intersect(array('a' => 'green', 'red', 'blue'), array('b' => 'green', 'yellow', 'red'), array('green', 'red')));
show(array_diff_assoc(array('a' => 'green', 'b' => 'brown', 'c' => 'blue', 'red'), array('a' => 'green', 'yellow', 'red')));
show(array_intersect_assoc(array('a' => 'green', 'b' => 'brown', 'red'), array('a' => 'green', 'b' => 'BROWN', 0 => 'red')));
var_dump(array_diff(array(1), 'x'));
var_dump(array_intersect(array(1)));
print_r(array_merge_recursive(array('color' => array('favorite' => 'red'), 5), array(10, 'color' => array('favorite' => 'green', 'blue'))));
show(array_merge_recursive(array('a' => 1), array('a' => 2), array('a' => array(3))));
show(array_merge(array(1), 'x', null, array('a' => 2), array(5 => 'five')));
show(array_count_values(array(1, 'hello', 1, 'world', 'hello', '1', 1.5, true)));
show(array_chunk(array('a', 'b', 'c'), 2));
print_r(array_chunk(array('x' => 'a', 'y' => 'b', 'z' => 'c'), 2, true));
var_dump(array_chunk(array(1), 0), array_chunk('x', 1));
var_dump(array_sum(array(1, '2.5', 'x', array(5), true, '3abc')), array_sum(array()), array_sum(array(2147483647, 1)),
         array_sum(array('10', '20')));
var_dump(array_sum(5));
$h = array('one' => 1, 7 => null, '' => 'empty');
var_dump(array_key_exists('one', $h), array_key_exists(7, $h), array_key_exists('7', $h), array_key_exists('', $h),
         key_exists('two', $h));
class P { var $prop = null; }
var_dump(array_key_exists('prop', new P));
var_dump(array_key_exists(1.5, $h), array_key_exists('x', 'notarray'));
--EXPECTF--
0=b 1=c
0=a 1=X 2=Y 3=Z 4=d 5=e
0=3
k=1 0=2
0=1 1=new 2=2 3=3
0=1 1=2 2=3 3=9
0=2 1=3
0=1 1=4

0=1 1=2 2=3 3=4
x=1
0=new y=2
0=1

Warning: array_splice(): The first argument should be an array in %s on line %d
NULL
1=blue
0=1 1=1
a=green 0=red
b=brown c=blue 0=red
a=green 0=red

Warning: array_diff(): Argument #2 is not an array in %s on line %d
NULL

Warning: Wrong parameter count for array_intersect() in %s on line %d
NULL
Array
(
    [color] => Array
        (
            [favorite] => Array
                (
                    [0] => red
                    [1] => green
                )

            [0] => blue
        )

    [0] => 5
    [1] => 10
)
a=(1,2,3)
0=1 1=x a=2 2=five

Warning: array_count_values(): Can only count STRING and INTEGER values! in %s on line %d

Warning: array_count_values(): Can only count STRING and INTEGER values! in %s on line %d
1=3 hello=2 world=1
0=(a,b) 1=(c)
Array
(
    [0] => Array
        (
            [x] => a
            [y] => b
        )

    [1] => Array
        (
            [z] => c
        )

)

Warning: array_chunk(): Size parameter expected to be greater than 0 in %s on line %d

Warning: array_chunk(): The first argument should be an array in %s on line %d
NULL
NULL
float(7.5)
int(0)
int(2147483648)
int(30)

Warning: array_sum(): The argument should be an array in %s on line %d
NULL
bool(true)
bool(true)
bool(true)
bool(true)
bool(false)
bool(true)

Warning: array_key_exists(): The first argument should be either a string or an integer in %s on line %d

Warning: array_key_exists(): The second argument should be either an array or an object in %s on line %d
bool(false)
bool(false)
