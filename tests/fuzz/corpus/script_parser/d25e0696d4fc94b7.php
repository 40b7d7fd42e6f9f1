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
