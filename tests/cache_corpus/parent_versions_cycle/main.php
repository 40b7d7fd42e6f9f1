<?php
// A parent class rewritten between requests into versions that share
// more or fewer members with an unchanged child; the child's members
// and their order follow each version.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$versions = array(
    array("a", "b"),
    array("b", "c"),
    array("c"),
    array("a", "b", "c", "d"),
    array("x", "b"),
    array(),
    array("c", "b", "a"),
);
$v = $versions[($request - 1) % count($versions)];
$src = "<?php\nclass Base {\n";
foreach ($v as $p) { $src .= "    var \$$p = \"base $p\";\n"; }
foreach ($v as $p) { $src .= "    function get_$p() { return \"base get $p\"; }\n"; }
$src .= "    function Base() { \$this->made = \"base\"; }\n}\n";
file_put_contents("base.php", $src);
clearstatcache();
touch("base.php", time() - 100 + $request);
include "base.php";
include "child.php";
$c = new Child();
print_r($c);
print_r(get_class_methods("Child"));
echo serialize($c), "\n";
