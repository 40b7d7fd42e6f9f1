<?php
// The root of a three-file chain is rewritten twice, the other two files
// never: every request must see the root of that moment through both.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 2 || $request == 4) {
    $v = $request;
    file_put_contents("root.php", '<?php
class Root {
    var $version = ' . $v . ';
    var $opts = array("debug" => true, "paths" => array("/a", "/b' . $v . '"));
    function hello() { return "hello v' . $v . '"; }
    function describe() { return "Root v" . $this->version . "!"; }
    function since() { return ' . $v . '; }
}
');
}
include "root.php";
include "mid.php";
include "top.php";
$t = new Top();
echo $request, ": ", $t->describe(), " ", $t->hello(), " ", implode(",", $t->opts["paths"]), " ", $t->opts["debug"] ? "debug" : "quiet", "\n";
echo "   ", method_exists($t, "since") ? "since " . $t->since() : "no since", " ", implode(",", get_class_methods("top")), "\n";
