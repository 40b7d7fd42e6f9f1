<?php
function scope_test() {
    $city = "Paris"; $zip = 75001;
    print_r(compact("city", array("zip", "missing")));
    $n = extract(array("city" => "Rome", "fresh" => 1, "0bad" => 2, 5 => "num"));
    echo $n, " ", $city, " ", $fresh, "\n";
    echo extract(array("city" => "Oslo", "other" => 3), EXTR_SKIP), " ", $city, " ", $other, "\n";
}
scope_test();
$g = "global";
$r = &$g;
extract(array("g" => "changed through extract"));
echo $r, "\n";
print_r(compact("g", "nothing"));
var_dump(isset($city));
