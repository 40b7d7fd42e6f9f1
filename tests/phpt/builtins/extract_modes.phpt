--TEST--
extract with every mode (prefixes, EXTR_IF_EXISTS, EXTR_REFS, numeric keys, GLOBALS and $this kept) and compact with names only
--ARGS--
-n
--FILE--
<?php
function modes() {
    $size = 'large'; $color = 'old';
    $vars = array('color' => 'blue', 'size' => 'medium', 'shape' => 'sphere', '0bad' => 'x', 5 => 'five');
    echo extract($vars, EXTR_PREFIX_SAME, 'wddx'), " $color $size $wddx_color $wddx_size $shape\n";
    echo extract($vars, EXTR_PREFIX_ALL, 'p'), " $p_color $p_shape $p_5\n";
    echo extract($vars, EXTR_PREFIX_INVALID, 'i'), " $i_0bad $i_5\n";
    echo extract(array('color' => 'c2', 'nothere' => 1), EXTR_PREFIX_IF_EXISTS, 'e'), " $e_color ", isset($e_nothere) ? 'set' : 'unset', "\n";
    echo extract(array('color' => 'c3', 'absent' => 1), EXTR_IF_EXISTS), " $color ", isset($absent) ? 'set' : 'unset', "\n";
    echo extract(array('color' => 'c4', 'fresh' => 1), EXTR_SKIP), " $color $fresh\n";
    $source = array('r' => 1);
    extract($source, EXTR_REFS);
    $r = 2;
    echo $source['r'], "\n";
    extract($source, EXTR_PREFIX_ALL | EXTR_REFS, 'ref');
    $ref_r = 3;
    echo $source['r'], "\n";
}
modes();
class Holder { var $v = 'mine'; function run() { extract(array('this' => 'replaced', 'w' => 1)); return $this->v . $w; } }
$h = new Holder; echo $h->run(), "\n";
echo extract(array('GLOBALS' => 'overwritten', 'ok' => 1)), "\n";
var_dump(extract(array('a' => 1), EXTR_PREFIX_ALL));
var_dump(extract(array('a' => 1), 99));
var_dump(extract('notarray'));
function pack_up() { $city = 'Paris'; $n = 5; return compact('city', array('n', array('city')), 5, null, 'nothing'); }
print_r(pack_up());
--EXPECTF--
3 old large blue medium sphere
5 blue sphere five
5 x five
1 c2 unset
1 c3 unset
1 c3 1
2
3
mine1
1

Warning: extract(): Prefix expected to be specified in %s on line %d
NULL

Warning: extract(): Unknown extract type in %s on line %d
NULL

Warning: extract(): First argument should be an array in %s on line %d
NULL
Array
(
    [city] => Paris
    [n] => 5
)
