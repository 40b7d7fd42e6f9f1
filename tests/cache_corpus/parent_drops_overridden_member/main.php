<?php
// The parent loses a member the child overrides: under the new parent that
// member follows the parent's, in the order the child declares its own.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 2) {
    file_put_contents("base.php", '<?php
class Base {
    var $x = 1;
    function common() { return "c"; }
}
');
}
include "base.php";
include "child.php";
$c = new Child();
echo $request, ": ", implode(",", array_keys(get_object_vars($c))), " / ", implode(",", get_class_methods("Child")), "\n";
