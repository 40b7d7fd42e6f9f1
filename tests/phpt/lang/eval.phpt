--TEST--
eval(): the caller's scope, return values, parse errors that return false, errors and __FILE__ naming the eval()'d code
--ARGS--
-n
--FILE--
<?php
$x = 2;
eval('$y = $x * 21;');
echo $y, "\n";
var_dump(eval('return $y + 1;'));
var_dump(eval('$unused = 1;'));
var_dump(eval(''));
$r = eval('echo "broken"');
var_dump($r);
echo "still running\n";
eval('?>inline <?php echo "html\n";');
echo eval('return __FILE__;'), "|", eval("\n\nreturn __LINE__;"), "\n";
eval('echo $nope[1] . 10 / 0;');
echo "\n";
echo eval('return eval("return __FILE__;");'), "\n";
function scoped($v) {
    eval('$local = $v . "!";');
    return $local;
}
echo scoped("in function"), isset($local) ? " leaked" : " kept local", "\n";
class Counter {
    var $n = 0;
    function bump() { eval('$this->n++;'); return $this->n; }
}
$c = new Counter;
$c->bump();
echo $c->bump(), "\n";
eval('function made_by_eval($a) { return strtoupper($a); }');
echo made_by_eval("declared"), "\n";
$code = 'return ' . var_export(array(1, "two"), true) . ';';
print_r(eval($code));
eval('function made_by_eval() {}');
echo "not reached\n";
--EXPECTF--
42
int(43)
NULL
NULL

Parse error: parse error, unexpected $end in %s/eval.php(8) : eval()'d code on line 1
bool(false)
still running
inline html
%s/eval.php(12) : eval()'d code|3

Warning: Division by zero in %s/eval.php(13) : eval()'d code on line 1

%s/eval.php(15) : eval()'d code(1) : eval()'d code
in function! kept local
2
DECLARED
Array
(
    [0] => 1
    [1] => two
)

Fatal error: Cannot redeclare made_by_eval() in %s/eval.php(32) : eval()'d code on line 1
