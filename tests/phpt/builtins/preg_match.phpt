--TEST--
preg_match and preg_match_all: groups, unmatched groups, named groups, offsets, start offset, pattern and set order, empty matches, UTF-8
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
var_dump(preg_match('/(\d+)-(\d+)/', 'ab 12-34 cd', $m));
echo implode('|', $m), "\n";
// a group that takes no part in the middle is "", trailing ones are left out
preg_match('/(a)(x)?(b)/', 'ab', $m); var_dump($m);
preg_match('/(a)(x)?/', 'a', $m); echo count($m), "\n";
// matches is emptied even when nothing matches
$m = array('old'); var_dump(preg_match('/z/', 'abc', $m), $m);
// offsets, and the start offset (anchors still see the whole subject)
preg_match('/(b)(c)/', 'abcabc', $m, PREG_OFFSET_CAPTURE, 2);
echo $m[0][0], '@', $m[0][1], ' ', $m[2][0], '@', $m[2][1], "\n";
var_dump(preg_match('/^b/', 'ab', $m, 0, 1), preg_match('/b/', 'ab', $m, 0, 5), preg_match('/b/', 'ab', $m, 0, -1));
// named groups come first under their name, then under their number
preg_match('/(?P<year>\d{4})-(?P<month>\d\d)/', 'on 2003-12-01', $m); print_r($m);
// modifiers
var_dump(preg_match('/ABC/i', 'xabcx'), preg_match('/^b$/m', "a\nb\nc"), preg_match('/a.b/s', "a\nb"),
         preg_match('/a b # comment
  c/x', 'abc'), preg_match('/a+?/U', 'aaa', $m), $m[0], preg_match('/b/A', 'ab'), preg_match('/a$/D', "a\n"),
         preg_match('/a$/', "a\n"), preg_match('/\j/', 'j'), preg_match('/\j/X', 'j'));
// bracket delimiters nest; spaces before the delimiter are skipped
var_dump(preg_match('{a{2}}', 'xaa'), preg_match('(a(b)c)', 'abc', $m), $m[1], preg_match("  <x>", 'x'), preg_match('[a]i', 'A'));
// preg_match_all in pattern order (the default) and set order
var_dump(preg_match_all('/a(b)?/', 'ab a ab', $m)); print_r($m);
var_dump(preg_match_all('/a(b)?/', 'ab a ab', $m, PREG_SET_ORDER)); print_r($m);
preg_match_all('/(?P<d>\d)/', 'a1b2', $m); print_r($m);
preg_match_all('/\d/', 'a1b22', $m, PREG_PATTERN_ORDER | PREG_OFFSET_CAPTURE, 3);
foreach ($m[0] as $pair) echo $pair[0], '@', $pair[1], ' '; echo "\n";
var_dump(preg_match_all('/x/', 'abc', $m), $m);
// empty matches move one character on: one per position, none skipped
var_dump(preg_match_all('/x*/', 'ab', $m)); echo count($m[0]), "\n";
// under /u a step is a whole character
var_dump(preg_match_all('//u', "\xc3\xa9t\xc3\xa9", $m));
var_dump(preg_match_all('/./u', "\xc3\xa9t\xc3\xa9", $m), $m[0][0]);
var_dump(preg_match('/./u', "\xff"));
// numbers and other values are patterns and subjects as text
var_dump(preg_match('/1/', 123), preg_match('/^$/', null));
// wrong flags and argument counts
var_dump(preg_match('/a/', 'a', $m, PREG_SET_ORDER));
var_dump(preg_match_all('/a/', 'a', $m, 5));
var_dump(preg_match('/a/'));
var_dump(preg_match_all('/a/', 'a'));
--EXPECTF--
int(1)
12-34|12|34
array(4) {
  [0]=>
  string(2) "ab"
  [1]=>
  string(1) "a"
  [2]=>
  string(0) ""
  [3]=>
  string(1) "b"
}
2
int(0)
array(0) {
}
bc@4 c@5
int(0)
int(0)
int(0)
Array
(
    [0] => 2003-12
    [year] => 2003
    [1] => 2003
    [month] => 12
    [2] => 12
)

Warning: preg_match(): Compilation failed: %s at offset 1 in %s on line %d
int(1)
int(1)
int(1)
int(1)
int(1)
string(3) "aaa"
int(0)
int(0)
int(1)
int(1)
bool(false)
int(1)
int(1)
string(1) "b"
int(1)
int(1)
int(3)
Array
(
    [0] => Array
        (
            [0] => ab
            [1] => a
            [2] => ab
        )

    [1] => Array
        (
            [0] => b
            [1] => 
            [2] => b
        )

)
int(3)
Array
(
    [0] => Array
        (
            [0] => ab
            [1] => b
        )

    [1] => Array
        (
            [0] => a
        )

    [2] => Array
        (
            [0] => ab
            [1] => b
        )

)
Array
(
    [0] => Array
        (
            [0] => 1
            [1] => 2
        )

    [d] => Array
        (
            [0] => 1
            [1] => 2
        )

    [1] => Array
        (
            [0] => 1
            [1] => 2
        )

)
2@3 2@4 
int(0)
array(1) {
  [0]=>
  array(0) {
  }
}
int(3)
3
int(4)
int(3)
string(2) "é"
int(0)
int(1)
int(1)

Warning: Wrong value for parameter 4 in call to preg_match() in %s on line %d
NULL

Warning: Wrong value for parameter 4 in call to preg_match_all() in %s on line %d
NULL

Warning: Wrong parameter count for preg_match() in %s on line %d
NULL

Warning: Wrong parameter count for preg_match_all() in %s on line %d
NULL
