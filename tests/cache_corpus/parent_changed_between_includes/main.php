<?php
// A file changes between two includes of one request: the second include
// runs the new version (its values), while the class declared by the first
// include stays in force for the rest of the request.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "parent.php";
echo $request, ": first include v", $parent_version;
if ($request == 1) {
    file_put_contents("parent.php", '<?php
// Declares Base once per request, whatever version of the file runs.
$parent_version = 2;
if (!class_exists("Base")) {
    class Base {
        var $v = 2;
        var $extra = "x";
        function v() { return "base v2"; }
    }
}
');
}
include "parent.php";
echo ", second include v", $parent_version;
include "child.php";
$c = new Child();
echo ", child sees ", $c->both(), isset($c->extra) ? " with extra" : "", "\n";
