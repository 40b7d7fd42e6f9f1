--TEST--
The file cache across requests, a re-parse after chmod, ids of an earlier request refused
--INCLUDE-- t.html
v1 {x}
--FILE--
<?php
$a = brisko_template_load("t.html");
$b = brisko_template_load("./t.html");
brisko_template_assign($a, "x", "A");
echo brisko_template_get($a), brisko_template_get($b);
file_put_contents("id.txt", $a);
var_dump(brisko_template_load("missing.html"));
--REQUEST--
<?php
$old = (int)file_get_contents("id.txt");
var_dump(brisko_template_get($old));
echo brisko_template_get(brisko_template_load("t.html"));
file_put_contents("t.html", "v2 {x}\n");
sleep(1);
chmod("t.html", 0600);
echo brisko_template_get(brisko_template_load("t.html"));
--EXPECTF--
v1 A
v1 {x}
NULL

Warning: argument to id should be template_id in %s on line %d
NULL
v1 {x}
v2 {x}
