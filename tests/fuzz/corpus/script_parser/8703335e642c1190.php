<?php
$a = array("x" => 1, "y" => 2, 7 => 3);
echo current($a), key($a), "|", next($a), key($a), "|", next($a), key($a), "|";
var_dump(next($a), key($a), current($a), next($a));
echo prev($a) === false ? "off the end\n" : "moved\n";
echo reset($a), end($a), key($a), prev($a), pos($a), prev($a), key($a), "\n";
var_dump(prev($a), key($a));
// each(): the element, the pointer past it
end($a); prev($a);
print_r(each($a));
print_r(each($a));
var_dump(each($a));
// an element that is a reference comes back as a plain copy
$target = "t";
$refs = array(&$target);
$pair = each($refs);
$pair[1] = "changed";
echo $target, "\n";
// empty arrays
$e = array();
var_dump(current($e), key($e), next($e), reset($e), end($e), each($e));
// the variable passed separates from the array it shares and gets a
// copy, whose pointer starts at the first element
$b = array(10, 20, 30);
next($b); next($b);
$c = $b;
echo current($b), current($c), "|";
next($c);
echo current($b), current($c), "|";
reset($b);
echo current($b), current($c), "\n";
// objects: the property table
$o = new stdClass;
$o->p = "P";
$o->q = "Q";
echo current($o), key($o), next($o), key($o), "\n";
// foreach leaves the pointer at the end; inside the body the variable is
// separated from the loop's array first
$f = array(1, 2, 3);
foreach ($f as $v) echo current($f);
echo "|";
foreach ($f as $v) {}
var_dump(current($f));
// over a global (a reference) the body sees the loop move the pointer
function walk_global() {
    global $f;
    foreach ($f as $v) echo $v, ":", var_export(current($f), true), " ";
    echo "\n";
}
walk_global();
// reset(), end() on a function's result, which is variable-like
function letters() { return array("a", "b", "c"); }
echo reset(letters()), end(letters()), "\n";
// wrong arguments
$s = "string";
var_dump(current($s), key($s), next($s), prev($s), reset($s), end($s), each($s));
echo current(), key($a, 1);
echo "done\n";
