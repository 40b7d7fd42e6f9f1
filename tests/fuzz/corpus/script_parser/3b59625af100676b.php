<?php
$old = (int)file_get_contents("id.txt");
var_dump(brisko_template_get($old));
echo brisko_template_get(brisko_template_load("t.html"));
file_put_contents("t.html", "v2 {x}\n");
sleep(1);
chmod("t.html", 0600);
echo brisko_template_get(brisko_template_load("t.html"));
