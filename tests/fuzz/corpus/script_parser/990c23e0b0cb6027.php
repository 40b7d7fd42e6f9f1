<?php
$a = brisko_template_load("t.html");
$b = brisko_template_load("./t.html");
brisko_template_assign($a, "x", "A");
echo brisko_template_get($a), brisko_template_get($b);
file_put_contents("id.txt", $a);
var_dump(brisko_template_load("missing.html"));
