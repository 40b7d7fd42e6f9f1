--TEST--
preg_* pattern errors: empty pattern, bad delimiters, missing end delimiter, unknown modifiers, compilation failures, NUL bytes, /e with a callback, runaway backtracking stops with a warning
--ARGS--
-n
--FILE--
<?php
var_dump(preg_match('', 'x'));
var_dump(preg_match("  \n", 'x'));
var_dump(preg_match('abc', 'x'));
var_dump(preg_match('\\abc\\', 'x'));
var_dump(preg_match('/abc', 'x'));
var_dump(preg_match('/ab\\/', 'x'));
var_dump(preg_match('(abc', 'x'));
var_dump(preg_match('{a{b}', 'x'));
var_dump(preg_match('/abc/Q', 'x'));
var_dump(preg_match("/abc/i\n ", 'ABC'));
var_dump(preg_match('/(abc/', 'x'));
var_dump(preg_match('/abc)/', 'x'));
var_dump(preg_match('/*/', 'x'));
var_dump(preg_match('/[a-/', 'x'));
var_dump(preg_match("/a\0b/", "a\0b"));
var_dump(preg_match("/a/\0", 'a'));
// the same bad pattern warns every time it is used
var_dump(preg_match('/(/', 'x'), preg_match('/(/', 'x'));
// /e runs its replacement as code; not with a callback
var_dump(preg_replace('/a/e', 'strtoupper("\\0")', 'abc'));
var_dump(preg_replace_callback('/a/e', 'strtoupper', 'abc'));
var_dump(preg_match('/a/e', 'abc'));
// a catastrophic pattern stops at the backtracking limit instead of hanging
$subject = str_repeat('a', 40) . 'b';
var_dump(preg_match('/(a+)+$/', $subject));
var_dump(preg_match_all('/(a|a)+$/', $subject, $m));
var_dump(preg_replace('/(a+)+$/', 'x', $subject));
var_dump(preg_split('/(a+)+$/', $subject));
var_dump(preg_grep('/(a+)+$/', array($subject, 'aa')));
// the process goes on matching afterwards
var_dump(preg_match('/a+$/', 'aaa'));
--EXPECTF--

Warning: preg_match(): Empty regular expression in %s on line 2
bool(false)

Warning: preg_match(): Empty regular expression in %s on line 3
bool(false)

Warning: preg_match(): Delimiter must not be alphanumeric or backslash in %s on line 4
bool(false)

Warning: preg_match(): Delimiter must not be alphanumeric or backslash in %s on line 5
bool(false)

Warning: preg_match(): No ending delimiter '/' found in %s on line 6
bool(false)

Warning: preg_match(): No ending delimiter '/' found in %s on line 7
bool(false)

Warning: preg_match(): No ending matching delimiter ')' found in %s on line 8
bool(false)

Warning: preg_match(): No ending matching delimiter '}' found in %s on line 9
bool(false)

Warning: preg_match(): Unknown modifier 'Q' in %s on line 10
bool(false)
int(1)

Warning: preg_match(): Compilation failed: missing ) at offset 4 in %s on line 12
bool(false)

Warning: preg_match(): Compilation failed: unmatched parentheses at offset 3 in %s on line 13
bool(false)

Warning: preg_match(): Compilation failed: nothing to repeat at offset 0 in %s on line 14
bool(false)

Warning: preg_match(): Compilation failed: missing terminating ] for character class at offset 3 in %s on line 15
bool(false)

Warning: preg_match(): Null byte in regex in %s on line 16
bool(false)

Warning: preg_match(): Null byte in regex in %s on line 17
bool(false)

Warning: preg_match(): Compilation failed: missing ) at offset 1 in %s on line 19

Warning: preg_match(): Compilation failed: missing ) at offset 1 in %s on line 19
bool(false)
bool(false)
string(3) "Abc"

Warning: preg_replace_callback(): /e modifier cannot be used with replacement callback in %s on line 22
NULL
int(1)

Warning: preg_match(): Matching stopped at the backtracking limit: the pattern is too costly for this subject in %s on line 26
bool(false)

Warning: preg_match_all(): Matching stopped at the backtracking limit: the pattern is too costly for this subject in %s on line 27
bool(false)

Warning: preg_replace(): Matching stopped at the backtracking limit: the pattern is too costly for this subject in %s on line 28
NULL

Warning: preg_split(): Matching stopped at the backtracking limit: the pattern is too costly for this subject in %s on line 29
bool(false)

Warning: preg_grep(): Matching stopped at the backtracking limit: the pattern is too costly for this subject in %s on line 30
array(1) {
  [1]=>
  string(2) "aa"
}
int(1)
