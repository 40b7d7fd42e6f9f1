<?php
$add = create_function('$a, $b', 'return $a + $b;');
var_dump(strlen($add), $add[0] === "\0", substr($add, 1));
echo $add(2, 3), " ", call_user_func($add, 10, 5), "\n";
$second = create_function('', 'return "second";');
echo substr($second, 1), " ", $second(), "\n";
$list = array(3, 1, 2);
usort($list, create_function('$x, $y', 'return $x == $y ? 0 : ($x < $y ? -1 : 1);'));
echo implode(",", $list), "\n";
// the function keeps its own statics and can take references
$count = create_function('', 'static $n = 0; return ++$n;');
$count(); $count();
echo $count(), "\n";
$inc = create_function('&$v', '$v++;');
$value = 1;
$inc($value);
echo $value, "\n";
// errors inside the body are reported against the runtime-created function
$warn = create_function('', 'return 1 / 0;');
var_dump($warn());
echo function_exists(substr($add, 1)) ? "by plain name\n" : "not callable by its plain name\n";
var_dump(create_function('$a', 'return $a +;'));
echo create_function('only one'), "\n";
echo "done\n";
