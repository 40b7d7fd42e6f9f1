--TEST--
get_defined_vars() shares the scope's values: a reference stays one, arguments are ignored
--FILE--
<?php
function f($p) {
    $a = 1;
    $b = &$a;
    $v = get_defined_vars('ignored');
    ksort($v);
    echo implode(',', array_keys($v)), "\n";
    $v['a'] = 5;
    $v['p'] = 'changed';
    echo $a, $b, $p, "\n";
}
f('arg');
$top = get_defined_vars();
echo isset($top['GLOBALS']) ? "GLOBALS\n" : "no GLOBALS\n";
--EXPECT--
a,b,p
55arg
GLOBALS
