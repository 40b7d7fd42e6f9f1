<?php
// The middle of a three-file chain changes between requests; the leaf's
// file does not: the leaf must inherit what the new middle declares.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 3) {
    file_put_contents("b.php", '<?php
class B extends A {
    var $level = "b2";
    var $extra = array("x" => array(1, 2, 3));
    function chain() { return "B2>" . parent::chain(); }
    function shared() { return "shared from B2, then " . parent::shared(); }
    function added() { return "added in B2"; }
}
');
}
include "a.php";
include "b.php";
include "c.php";
$c = new C();
echo $request, ": ", $c->who(), " ", $c->chain(), " ", $c->level, " | ", $c->shared(), "\n";
echo "   ", method_exists($c, "added") ? $c->added() : "no added", " | ", isset($c->extra) ? count($c->extra["x"]) : "no extra", "\n";
echo "   ", implode(",", get_class_methods("C")), " / ", implode(",", array_keys(get_object_vars($c))), "\n";
