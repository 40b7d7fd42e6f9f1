--TEST--
Everyday PHP 4 constructs: alternative syntax, switch on strings, print as an expression, string offsets and increments, &new, nested declarations
--ARGS--
-n
--FILE--
<?php
$i = 0;
while ($i < 3): echo $i++; endwhile;
for ($j = 0; $j < 2; $j++): echo "f$j"; endfor;
foreach (array("a", "b") as $k => $v): echo "$k$v"; endforeach;
if ($i == 2): echo "two"; elseif ($i == 3): echo "three"; else: echo "other"; endif;
switch ($i): case 3: echo "!"; break; default: echo "?"; endswitch;
echo "\n";
function kind($s) {
    switch (strtolower($s)) {
        case "apple": case "pear": return "fruit";
        case "0": return "zero string";
        case "": return "empty";
        default: return "unknown";
    }
}
echo kind("Apple"), " ", kind("0"), " ", kind(""), " ", kind("x"), "\n";
$ok = print "printed ";
echo $ok, " ", (print "") + 1, "\n";
$str = "PHP4";
echo $str{0}, $str[3], " ", ${'str'}, "\n";
$varname = "dyn";
$$varname = "dynamic";
echo $dyn, " ", ${"d" . "yn"}, "\n";
class Engine { var $parts = array("piston", "valve"); function name() { return "v8"; } }
class Car { var $engine; function Car() { $this->engine = new Engine; } }
$car = &new Car;
echo $car->engine->parts[1], " ", $car->engine->name(), " ", get_class($car), "\n";
$n = 0;
do { $n++; } while ($n < 5);
for ($a = 0; $a < 3; $a++) {
    foreach (array(1, 2, 3) as $b) {
        if ($b == 2) continue 2;
        if ($a == 2) break 2;
        echo "$a$b ";
    }
}
echo $n, "\n";
function outer_fn() { if (!function_exists("inner_fn")) { function inner_fn() { return "inner"; } } return "outer"; }
echo outer_fn(), outer_fn(), inner_fn(), "\n";
$x = 5;
echo $x > 3 ? ($x > 4 ? "big" : "mid") : "small", "\n";
--REQUEST--
<?php
echo "later versions' forms are not PHP 4\n";
$x = 1 ?: 2;
--REQUEST--
<?php
$c = new stdClass;
var_dump($c instanceof stdClass);
--REQUEST--
<?php
$s = "a"; $s++; echo $s, " ";
$s = "Az"; $s++; echo $s, " ";
$s = "zz"; $s++; echo $s, " ";
$s = "a9"; $s++; echo $s, " ";
$s = "9"; $s++; var_dump($s);
echo __LINE__, " ", basename(__FILE__), "\n";
function leave() { echo "leaving\n"; exit; }
leave();
echo "never";
--EXPECTF--
012f0f10a1bthree!
fruit zero string empty unknown
printed 1 2
P4 PHP4
dynamic dynamic
valve v8 car
01 11 5
outerouterinner
big

Parse error: parse error, unexpected ':' in %s on line 3

Parse error: parse error, unexpected T_STRING in %s on line 3
b Ba aaa b0 int(10)
7 php4_constructs.request3.php
leaving
