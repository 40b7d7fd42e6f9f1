--TEST--
serialize/unserialize: every type, doubles at 17 digits, binary strings, nested arrays, lower-cased class names, references R: and r:, round trips
--ARGS--
-n
--FILE--
<?php
echo serialize(null), serialize(true), serialize(false), serialize(0), serialize(-12), "\n";
echo serialize(0.1), serialize(1.0), serialize(-2.5), serialize(1e100), serialize(1/3), "\n";
echo str_replace("\0", '\0', serialize("a\"b\0c")), serialize(''), "\n";
echo serialize(array()), serialize(array(1, 'k' => array('x' => null), -3 => 'neg')), "\n";
class MyClass { var $Name = 'n'; var $list = array(1); }
echo serialize(new MyClass), "\n";
$o = new MyClass; $o->extra = 5;
echo serialize($o), "\n";
// references: a value shared by reference is written once, then R:n
$a = array('x', 'y');
$a[2] = &$a[0];
echo $s = serialize($a), "\n";
$b = unserialize($s);
$b[2] = 'changed';
echo $b[0], "\n";
// a value shared without a reference is written in full each time
$inner = array(1);
echo serialize(array($inner, $inner)), "\n";
// an array that holds a reference to itself
$self = array('a');
$self[1] = &$self;
echo serialize($self), "\n";
// round trips
$values = array(null, false, true, 0, 2147483647, -2147483647, 3.25, 1e-7, "", "multi\nline", array(), array(array(array())),
                array(5 => 'five', 'five' => 5), new MyClass);
foreach ($values as $v) {
    $back = unserialize(serialize($v));
    echo gettype($back), ':', ($back === $v || (is_object($v) && $back == $v)) ? 'same' : 'DIFFERENT', ' ';
}
echo "\n";
var_dump(unserialize('a:2:{s:1:"5";s:4:"five";i:-1;d:0.5;}'));
var_dump(unserialize('b:1;'), unserialize('b:0;'), unserialize('i:+5;'), unserialize('d:-.5;'), unserialize('d:1e3;'),
         unserialize('d:INF;'), unserialize('N;trailing text is ignored'));
// r: is a copy, R: a reference
$c = unserialize('a:3:{i:0;a:1:{i:0;i:1;}i:1;r:2;i:2;R:2;}');
$c[0][0] = 9;
echo $c[0][0], $c[1][0], $c[2][0], "\n";
// duplicate keys: the last one wins, and a reference to the first still works
var_dump(unserialize('a:3:{i:0;s:5:"first";i:0;s:6:"second";i:1;R:2;}'));
--EXPECT--
N;b:1;b:0;i:0;i:-12;
d:0.10000000000000001;d:1;d:-2.5;d:1E+100;d:0.33333333333333331;
s:5:"a"b\0c";s:0:"";
a:0:{}a:3:{i:0;i:1;s:1:"k";a:1:{s:1:"x";N;}i:-3;s:3:"neg";}
O:7:"myclass":2:{s:4:"Name";s:1:"n";s:4:"list";a:1:{i:0;i:1;}}
O:7:"myclass":3:{s:4:"Name";s:1:"n";s:4:"list";a:1:{i:0;i:1;}s:5:"extra";i:5;}
a:3:{i:0;s:1:"x";i:1;s:1:"y";i:2;R:2;}
changed
a:2:{i:0;a:1:{i:0;i:1;}i:1;a:1:{i:0;i:1;}}
a:2:{i:0;s:1:"a";i:1;a:2:{i:0;s:1:"a";i:1;R:3;}}
NULL:same boolean:same boolean:same integer:same integer:same integer:same double:same double:same string:same string:same array:same array:same array:same object:same 
array(2) {
  [5]=>
  string(4) "five"
  [-1]=>
  float(0.5)
}
bool(true)
bool(false)
int(5)
float(-0.5)
float(1000)
float(INF)
NULL
919
array(2) {
  [0]=>
  string(6) "second"
  [1]=>
  string(5) "first"
}
