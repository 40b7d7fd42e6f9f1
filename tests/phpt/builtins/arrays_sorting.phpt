--TEST--
Arrays: the sorts (flags, equal elements in the engine's order, negative integer keys), natsort/natcasesort, strnatcmp/strnatcasecmp, array_multisort, shuffle and array_rand, push/pop/shift/unshift
--ARGS--
-n
--FILE--
<?php
function show($a) { $out = array(); foreach ($a as $k => $v) $out[] = "$k=$v"; echo implode(' ', $out), "\n"; }
// equal elements come out in the order of the engine's quicksort, not kept stable
$a = array(1 => 'x', 2 => 'x', 3 => 'x'); asort($a); show($a);
$a = array('a' => 2, 'b' => 1, 'c' => 2, 'd' => 1, 'e' => 2); asort($a); show($a);
function by_len($x, $y) { return strlen($x) - strlen($y); }
$a = array('bb', 'aa', 'c', 'dd'); usort($a, 'by_len'); show($a);
// negative integer keys compare as signed numbers
$k = array(5 => 'a', -3 => 'b', 0 => 'c', -10 => 'd', 'x' => 'e'); ksort($k); show($k);
krsort($k); show($k);
// flags
$a = array('10', 9, '1e1', 'abc', 2.5); sort($a); show($a);
$a = array('10', 9, '1e1', 'abc', 2.5); sort($a, SORT_STRING); show($a);
$a = array('10', '9', '2', '1'); sort($a, SORT_NUMERIC); show($a);
$a = array('b' => 1, 'a' => 2); rsort($a); show($a);
$a = array(3 => 'c', 1 => 'a'); arsort($a); show($a);
var_dump(sort($undefined_scalar));
// natural order
$imgs = array('img12.png', 'img10.png', 'img2.png', 'img1.png');
$plain = $imgs; sort($plain); show($plain);
natsort($imgs); show($imgs);
$mixed = array('IMG0.png', 'img12.png', 'img10.png', 'img2.png', 'img1.png', 'IMG3.png');
$m2 = $mixed; natsort($m2); show($m2);
natcasesort($mixed); show($mixed);
$v = array('1.010', '1.002', '1.2', 'x 1', 'x  2', 'a01', 'a1'); natsort($v); show($v);
var_dump(strnatcmp('img12', 'img10'), strnatcmp('img2', 'img10'), strnatcmp('a', 'a'), strnatcmp('', 'abc'),
         strnatcmp('abc', ''), strnatcasecmp('HELLO2', 'hello10'), strnatcmp('HELLO2', 'hello10'), strnatcmp("a\0b", "a\0c"));
var_dump(natsort($nothing));
// array_multisort: the first array orders the rest, later arrays break ties
$data = array(3, 1, 3, 2); $names = array('c', 'a', 'b', 'z');
var_dump(array_multisort($data, SORT_DESC, $names)); show($data); show($names);
$x = array('b' => 2, 10 => 1, 'a' => 1); $y = array(1, 2, 3);
array_multisort($x, $y); show($x); show($y);
$n = array('10', '9', '1'); array_multisort($n, SORT_STRING); show($n);
var_dump(array_multisort($data, array(1)));
var_dump(array_multisort($data, SORT_ASC, SORT_DESC));
var_dump(array_multisort($data, 77));
var_dump(array_multisort('x'));
// random picks keep their shape
srand(7);
$deck = range(1, 20); shuffle($deck);
$sorted = $deck; sort($sorted); echo count($deck), ' ', implode(',', $sorted) === implode(',', range(1, 20)) ? 'same cards' : 'LOST', "\n";
$pick = array_rand(array('a' => 1, 'b' => 2, 'c' => 3), 2);
echo count($pick), ' ', strcmp($pick[0], $pick[1]) < 0 ? 'in order' : 'OUT OF ORDER', "\n";
$one = array_rand(array(7 => 'x')); var_dump($one);
$all = array_rand(array('p' => 1, 'q' => 2), 2); show($all);
var_dump(array_rand(array(1, 2), 3), array_rand(array(1), 0), array_rand('x'), shuffle($nothing));
// the stack functions
$s = array(5 => 'a', 'k' => 'b'); echo array_push($s, 'c', 'd'), ' '; show($s);
echo array_pop($s), ' '; $s[] = 'e'; show($s);
echo array_shift($s), ' '; show($s);
echo array_unshift($s, 'z'), ' '; show($s);
$e = array(); var_dump(array_pop($e), array_shift($e));
$str = 'x'; var_dump(array_push($str, 1), array_pop($str), array_unshift($str, 1));
--EXPECTF--
3=x 2=x 1=x
d=1 b=1 e=2 c=2 a=2
0=c 1=dd 2=aa 3=bb
-10=d -3=b x=e 0=c 5=a
5=a 0=c x=e -3=b -10=d
0=2.5 1=9 2=1e1 3=10 4=abc
0=10 1=1e1 2=2.5 3=9 4=abc
0=1 1=2 2=9 3=10
0=2 1=1
3=c 1=a

Warning: sort(): The argument should be an array in %s on line %d
bool(false)
0=img1.png 1=img10.png 2=img12.png 3=img2.png
3=img1.png 2=img2.png 1=img10.png 0=img12.png
0=IMG0.png 5=IMG3.png 4=img1.png 3=img2.png 2=img10.png 1=img12.png
0=IMG0.png 4=img1.png 3=img2.png 5=IMG3.png 2=img10.png 1=img12.png
1=1.002 0=1.010 2=1.2 5=a01 6=a1 3=x 1 4=x  2
int(1)
int(-1)
int(0)
int(-3)
int(3)
int(-1)
int(-1)
int(0)

Warning: natsort(): The argument should be an array in %s on line %d
bool(false)
bool(true)
0=3 1=3 2=2 3=1
0=b 1=c 2=z 3=a
0=1 a=1 b=2
0=2 1=3 2=1
0=1 1=10 2=9

Warning: array_multisort(): Array sizes are inconsistent in %s on line %d
bool(false)

Warning: array_multisort(): Argument #3 is expected to be an array or sorting flag that has not already been specified in %s on line %d
bool(false)

Warning: array_multisort(): Argument #2 is an unknown sort flag in %s on line %d
bool(false)

Warning: array_multisort(): Argument #1 is expected to be an array or a sort flag in %s on line %d
bool(false)
20 same cards
2 in order
int(7)
0=p 1=q

Warning: array_rand(): Second argument has to be between 1 and the number of elements in the array in %s on line %d

Warning: array_rand(): Second argument has to be between 1 and the number of elements in the array in %s on line %d

Warning: array_rand(): First argument has to be an array in %s on line %d

Warning: shuffle(): The argument should be an array in %s on line %d
NULL
NULL
NULL
bool(false)
4 5=a k=b 6=c 7=d
d 5=a k=b 6=c 7=e
a k=b 0=c 1=e
4 0=z k=b 1=c 2=e
NULL
NULL

Warning: array_push(): First argument should be an array in %s on line %d

Warning: array_pop(): The argument should be an array in %s on line %d

Warning: array_unshift(): The first argument should be an array in %s on line %d
bool(false)
NULL
bool(false)
