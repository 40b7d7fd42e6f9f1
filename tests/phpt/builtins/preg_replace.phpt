--TEST--
preg_replace and preg_replace_callback: \1, $1 and ${1} references, escapes, lists of patterns and replacements, limits, empty matches, subject arrays, callbacks
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
echo preg_replace('/(\w+) (\w+)/', '$2 \1 ${1}x \\\\1 \$1 $9 \0', 'hello world'), "\n";
echo preg_replace('/(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)/', '$11-${1}1-$1${1}', 'abcdefghijk'), "\n";
echo preg_replace('/x/', '${1', 'axb'), "|", preg_replace('/x/', '$', 'axb'), "|", preg_replace('/x/', '\\', 'axb'), "\n";
// lists: each pattern in turn over the result of the one before
echo preg_replace(array('/a/', '/b/'), array('b', 'c'), 'ab'), "\n";
echo preg_replace(array('/a/', '/b/', '/c/'), array('1'), 'abc'), "\n";
echo preg_replace(array('/a/', '/b/'), 'x', 'abc'), "\n";
// a bad pattern in a list is passed over; alone it gives NULL
echo preg_replace(array('/a/', 'bad', '/c/'), 'x', 'abc'), "\n";
var_dump(preg_replace('bad', 'x', 'abc'));
var_dump(preg_replace('/a/', array('x'), 'abc'));
// limit: -1 for all, 0 for none
echo preg_replace('/o/', '0', 'foo boo', 2), " ", preg_replace('/o/', '0', 'foo', 0), " ", preg_replace('/o/', '0', 'foo', -1), "\n";
// empty matches
echo preg_replace('/x*/', '-', 'abc'), " ", preg_replace('/^/m', '> ', "a\nb"), " ", preg_replace('//u', '.', "\xc3\xa9t"), "\n";
// subject arrays keep their keys
print_r(preg_replace('/\d/', '#', array('a' => 'x1', 5 => 'y22', 'z')));
// values that are not strings are used as text
var_dump(preg_replace('/1/', 2, 112));
function up($m) { return strtoupper($m[0]) . count($m); }
echo preg_replace_callback('/\b(\w)(x)?/', 'up', 'hello big world'), "\n";
class Fmt { var $n = 0; function num($m) { $this->n++; return "<$m[1]>"; } }
$f = new Fmt;
$cb = array(); $cb[0] = &$f; $cb[1] = 'num';
echo preg_replace_callback('/(\d+)/', $cb, 'a1b22c333', 2), " ", $f->n, "\n";
print_r(preg_replace_callback(array('/a/', '/b/'), 'up', array('k' => 'ab')));
function nothing($m) { }
var_dump(preg_replace_callback('/a/', 'nothing', 'bab'));
var_dump(preg_replace_callback('/a/', 'no_such_function', 'bab'));
var_dump(preg_replace_callback('/a/', 'no_such_function', array('x' => 'a')));
var_dump(preg_replace('/a/', 'b'));
--EXPECTF--
world hello hellox \1 $1  hello world
k-a1-aa
a${1b|a$b|a\b
cc
1
xxc

Warning: preg_replace(): Delimiter must not be alphanumeric or backslash in %s on line %d
xbx

Warning: preg_replace(): Delimiter must not be alphanumeric or backslash in %s on line %d
NULL

Warning: preg_replace(): Parameter mismatch, pattern is a string while replacement is an array in %s on line %d
bool(false)
f00 boo foo f00
-a-b-c- > a
> b .é.t.
Array
(
    [a] => x#
    [5] => y##
    [6] => z
)
string(3) "222"
H2ello B2ig W2orld
a<1>b<22>c333 2
Array
(
    [k] => A1B1
)
string(2) "bb"

Warning: preg_replace_callback() requires argument 2, 'no_such_function', to be a valid callback in %s on line %d
string(3) "bab"

Warning: preg_replace_callback() requires argument 2, 'no_such_function', to be a valid callback in %s on line %d
array(1) {
  ["x"]=>
  string(1) "a"
}

Warning: Wrong parameter count for preg_replace() in %s on line %d
NULL
