<?php
// Rewrites that keep the size, made within microseconds of each other and
// of the compilation they follow: each include must see the latest text.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$seen = array(include "value.php");
if ($request == 1) {
    foreach (array("B", "C", "D") as $letter) {
        file_put_contents("value.php", '<?php return "' . $letter . '";' . "\n");
        $seen[] = include "value.php";
    }
}
if ($request == 2) {
    file_put_contents("lib.php", '<?php
function label() { return "label-2"; }
');
}
include "lib.php";
echo $request, ": ", implode("", $seen), " ", label(), "\n";
