--TEST--
POSIX regular expressions: ereg/eregi with registers, ereg_replace/eregi_replace with \digit references, split/spliti with limits, sql_regcase, errors by code name
--ARGS--
-n
--FILE--
<?php
var_dump(ereg('([0-9]{4})-([0-9]{2})', 'date: 2003-07-01', $regs));
print_r($regs);
// an empty or unmatched group is false; registers are left alone without a match
var_dump(ereg('(a)(x*)(y)?', 'ab', $regs)); var_dump($regs);
$keep = array('kept'); var_dump(ereg('z', 'abc', $keep), $keep);
var_dump(ereg('a', 'abc'), ereg('^$', ''), eregi('^ABC$', 'abc'), ereg('^ABC$', 'abc'));
// numbers are patterns of their integer digits
var_dump(ereg(12.7, 'x12y'), ereg(5, '456'));
// a brace that starts no bound is an ordinary character
var_dump(ereg('{[^}]*}', 'a {b} c', $regs), $regs[0]);
// leftmost-longest
ereg('a|ab', 'abc', $regs); echo $regs[0], "\n";
echo ereg_replace('([a-z]+)@([a-z]+)', '\2 at \1 (\0) \3', 'mail joe@example now'), "\n";
echo eregi_replace('HELLO', 'bye', 'Hello hello'), "|", ereg_replace('x*', '-', 'abc'), "|", ereg_replace('^', '> ', 'line'), "\n";
echo ereg_replace(65, 'a', 'BAB'), "|", ereg_replace('B', 66, 'ABA'), "\n";
print_r(split('[/.-]', '04/30/1973'));
print_r(split(',', 'a,b,c,d', 2));
print_r(split(',', ',a,'));
print_r(spliti('x', 'aXbxc'));
echo sql_regcase('Foo bar1'), "\n";
// matching stops at a NUL byte, as it always did
var_dump(ereg('b', "a\0b"), ereg_replace('a', 'x', "a\0a"));
// errors name their code
var_dump(ereg('(', 'x'), ereg('[[:foo:]]', 'x'), ereg('*a', 'x'), eregi('', 'x'), ereg_replace('a{1', 'x', 'a'), split('x*', 'abc'), split('(', 'abc'));
var_dump(ereg('a'), split('a'));
--EXPECTF--
int(7)
Array
(
    [0] => 2003-07
    [1] => 2003
    [2] => 07
)
int(1)
array(4) {
  [0]=>
  string(1) "a"
  [1]=>
  string(1) "a"
  [2]=>
  bool(false)
  [3]=>
  bool(false)
}
bool(false)
array(1) {
  [0]=>
  string(4) "kept"
}
int(1)
int(1)
int(1)
bool(false)
int(1)
int(1)
int(3)
string(3) "{b}"
ab
mail example at joe (joe@example) \3 now
bye bye|-a-b-c-|> line
BaB|ABA
Array
(
    [0] => 04
    [1] => 30
    [2] => 1973
)
Array
(
    [0] => a
    [1] => b,c,d
)
Array
(
    [0] => 
    [1] => a
    [2] => 
)
Array
(
    [0] => a
    [1] => b
    [2] => c
)
[Ff][Oo][Oo] [Bb][Aa][Rr]1
bool(false)
string(1) "x"

Warning: ereg(): REG_EPAREN in %s on line %d

Warning: ereg(): REG_ECTYPE in %s on line %d

Warning: ereg(): REG_BADRPT in %s on line %d

Warning: eregi(): REG_EMPTY in %s on line %d

Warning: ereg_replace(): REG_EBRACE in %s on line %d

Warning: split(): Invalid Regular Expression to split() in %s on line %d

Warning: split(): REG_EPAREN in %s on line %d
bool(false)
bool(false)
bool(false)
bool(false)
bool(false)
bool(false)
bool(false)

Warning: Wrong parameter count for ereg() in %s on line %d

Warning: Wrong parameter count for split() in %s on line %d
NULL
NULL
