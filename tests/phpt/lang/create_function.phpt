--TEST--
create_function(): "\0lambda_N" names called by value, through call_user_func and usort; parse errors return false
--ARGS--
-n
--FILE--
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
--EXPECTF--
int(9)
bool(true)
string(8) "lambda_1"
5 15
lambda_2 second
1,2,3
3
2

Warning: Division by zero in %s/create_function.php(19) : runtime-created function on line 1
bool(false)
not callable by its plain name

Parse error: parse error, unexpected ';' in %s/create_function.php(22) : runtime-created function on line 1
bool(false)

Warning: Wrong parameter count for create_function() in %s on line 23

done
