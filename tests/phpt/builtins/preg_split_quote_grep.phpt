--TEST--
preg_split (limits, NO_EMPTY, DELIM_CAPTURE, OFFSET_CAPTURE, empty matches), preg_quote, preg_grep (keys kept, PREG_GREP_INVERT)
--ARGS--
-n
--FILE--
<?php
function show($a) { $out = array(); foreach ($a as $k => $v) $out[] = "$k=" . (is_array($v) ? "($v[0],$v[1])" : "'$v'"); echo implode(' ', $out), "\n"; }
show(preg_split('/[\s,]+/', "hypertext language, programming"));
show(preg_split('/,/', 'a,b,,c,'));
show(preg_split('/,/', 'a,b,,c,', -1, PREG_SPLIT_NO_EMPTY));
show(preg_split('/,/', 'a,b,c', 2));
show(preg_split('/,/', 'a,b,c', 0));
show(preg_split('/,/', 'a,b,c', 1));
show(preg_split('/,/', 'a,b,c', -5));
show(preg_split('//', 'abc'));
show(preg_split('//', 'abc', -1, PREG_SPLIT_NO_EMPTY));
show(preg_split('/(-)|(\+)/', 'a-b+c', -1, PREG_SPLIT_DELIM_CAPTURE));
show(preg_split('/(-)|(\+)/', 'a-b+c', -1, PREG_SPLIT_DELIM_CAPTURE | PREG_SPLIT_NO_EMPTY));
show(preg_split('/ /', 'ab cd  e', -1, PREG_SPLIT_OFFSET_CAPTURE));
show(preg_split('/ /', 'ab cd  e', -1, PREG_SPLIT_OFFSET_CAPTURE | PREG_SPLIT_NO_EMPTY));
show(preg_split('/x/', ''));
show(preg_split('/x/', '', -1, PREG_SPLIT_NO_EMPTY));
show(preg_split('//u', "\xc3\xa9t", -1, PREG_SPLIT_NO_EMPTY));
var_dump(preg_split('/(/', 'abc'));
echo preg_quote('Hello.World?[$1]{2}(a+b)*c^d|e:f=g!h<i>j\\k'), "\n";
echo preg_quote('a/b#c', '/'), " ", preg_quote('a/b#c', '#x'), " ", preg_quote(''), "|\n";
var_dump(preg_quote("a\0b"), preg_match('/' . preg_quote("a\0b") . '/', "xa\0b"));
$words = array(3 => 'apple', 'pear', 'x' => 'apricot', 7 => 42);
show(preg_grep('/^ap/', $words));
show(preg_grep('/^ap/', $words, PREG_GREP_INVERT));
var_dump(preg_grep('/4/', array(42)));
var_dump(preg_grep('/a/', 'abc'));
var_dump(preg_grep('/(/', array('a')));
--EXPECTF--
0='hypertext' 1='language' 2='programming'
0='a' 1='b' 2='' 3='c' 4=''
0='a' 1='b' 2='c'
0='a' 1='b,c'
0='a' 1='b' 2='c'
0='a,b,c'
0='a,b,c'
0='' 1='a' 2='b' 3='c' 4=''
0='a' 1='b' 2='c'
0='a' 1='-' 2='b' 3='' 4='+' 5='c'
0='a' 1='-' 2='b' 3='+' 4='c'
0=(ab,0) 1=(cd,3) 2=(,6) 3=(e,7)
0=(ab,0) 1=(cd,3) 2=(e,7)
0=''

0='é' 1='t'

Warning: preg_split(): Compilation failed: missing ) at offset 1 in %s on line %d
bool(false)
Hello\.World\?\[\$1\]\{2\}\(a\+b\)\*c\^d\|e\:f\=g\!h\<i\>j\\k
a\/b#c a/b\#c |
string(6) "a\000b"
int(1)
3='apple' x='apricot'
4='pear' 7='42'
array(1) {
  [0]=>
  string(2) "42"
}

Warning: Second argument to preg_grep() should be an array in %s on line %d
NULL

Warning: preg_grep(): Compilation failed: missing ) at offset 1 in %s on line %d
bool(false)
