<?php
$t = brisko_template_load("page.html");
var_dump(is_int($t) && $t > 0);
brisko_template_assign($t, "title", "People");
$people = array(array("name" => "Ann", "age" => 31), array("name" => "Bob", "age" => 42));
foreach ($people as $i => $p) {
    var_dump(brisko_template_fetch_assign_array($t, "row*", $i, $p));
}
var_dump(brisko_template_fetch_assign($t, "row*", 2, "name", "Cy"));
$row = brisko_template_fetch($t, "row*", 2);
brisko_template_assign_array($row, array("age" => 7));
echo brisko_template_get($t);
brisko_template_print($row);
