--TEST--
Variables, arithmetic, comparisons and calls give the same results whether the executor takes its fast paths or not
--FILE--
<?php
// variables that disappear and come back while a frame runs
function f() {
    $a = 1; $b = 2;
    for ($i = 0; $i < 3; $i++) {
        $s = $a + $b;
        unset($a);
        $a = $i * 10;
        echo $s, ",";
    }
    $name = 'b';
    $$name = 7;
    echo $a + $b, ",";
    extract(array('a' => 100, 'c' => 5));
    echo $a + $c, ",";
    $r = &$a;
    $r += 1;
    echo $a, ",";
    unset($r);
    $vars = get_defined_vars();
    unset($vars['vars']);
    echo count($vars), "\n";
}
f();
// integer overflow and division results
$x = 2147483647; $y = 1;
$z = $x + $y; var_dump($z);
$m = -2147483647 - 1; $n = -1;
var_dump($m - $y, 7 / 2, 6 / 3, -7 % 3, 7 % -3);
$d = 0;
$q = @($x / $d); var_dump($q);
$i = 2147483647; $i++; var_dump($i);
$k = -2147483647 - 1; $k--; var_dump($k);
// comparisons of mixed types take the general path
$s = "10"; $t = 9;
var_dump($s > $t, "abc" == 0, null == false, 1.0 === 1, "1e1" == "10");
// concatenation of numbers and strings, .= on shared strings
$u = "a"; $v = $u; $v .= "b"; echo $u, $v, "\n";
$w = 5; $w .= 5; var_dump($w);
$neg = -12; echo "n" . $neg . 3, "\n";
// element reads of strings and missing keys
$arr = array(1 => 'one', '2' => 'two', 'x' => array(3));
echo $arr[1], $arr["2"], $arr['x'][0], "\n";
$str = "hello"; echo $str[1], "\n";
// globals seen through $GLOBALS while a function runs
$g = 1;
function h() { global $g; $g++; unset($GLOBALS['g']); $GLOBALS['g'] = 40; echo $g, ","; global $g; echo $g, "\n"; }
h(); echo $g, "\n";
// a function found once, the same name later
function callme($p) { return $p * 2; }
for ($j = 0; $j < 3; $j++) echo callme($j);
echo "\n";
$lam = create_function('$a', 'return $a + 1;');
for ($j = 0; $j < 2; $j++) echo $lam($j);
echo "\n";
--EXPECT--
3,2,12,27,105,101,6
int(2147483648)
int(-2147483649)
float(3.5)
int(2)
int(-1)
int(1)
bool(false)
int(2147483648)
int(-2147483649)
bool(true)
bool(true)
bool(true)
bool(false)
bool(true)
aab
string(2) "55"
n-123
onetwo3
e
2,40
40
024
12
