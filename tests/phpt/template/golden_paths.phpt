--TEST--
Block paths with "->" (any run of "-" and ">" separates) and fetches nested in instances
--INCLUDE-- paths.tpl
<div><!-- BEGIN a -->[A{v}<!-- BEGIN b -->(B{v}<!-- BEGIN c* -->C{v}<!-- END c* -->)<!-- END b -->]<!-- END a --></div>
--FILE--
<?php
$all = brisko_template_load("paths.tpl");
$b = brisko_template_load("paths.tpl", "a->b");
$c = brisko_template_load("paths.tpl", "a-b>c*");
$none = brisko_template_load("paths.tpl", "b");
echo brisko_template_get($b), "\n----\n";
echo brisko_template_get($c), "\n----\n";
$c0 = brisko_template_fetch($b, "c*", 0);
brisko_template_assign($c0, "v", "0");
echo brisko_template_get($b), "\n----\n";
$a = brisko_template_fetch($all, "a");
$ab = brisko_template_fetch($a, "b");
brisko_template_fetch_assign($ab, "c*", 1, "v", "1");
brisko_template_assign($ab, "v", "b");
echo brisko_template_get($all), "\n----\n";
var_dump($none);
echo brisko_template_get($none), "\n----\n";
--EXPECTF--
(B{v})
----
C{v}
----
(B{v}C0)
----
<div>[A{v}(BbC{v}C1)]</div>

----
int(0)

Warning: argument to id should be template_id in %s on line 17

----
