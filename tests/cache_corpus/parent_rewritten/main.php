<?php
// A parent class rewritten between requests while its subclass's file stays
// as it is: the subclass must inherit the new methods and defaults.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 2) {
    file_put_contents("base.php", '<?php
class Base {
    var $colour = "blue";
    var $size = 2;
    function inherited() { return "new inherited"; }
    function describe() { return "new " . $this->colour; }
}
');
}
include "base.php";
include "child.php";
$c = new Child();
echo $request, ": ", $c->inherited(), " / ", $c->viaParent(), " / ", $c->describe(), "\n";
echo "   defaults: ", $c->colour, " ", $c->size, " ", $c->own, "\n";
$vars = get_object_vars($c);
echo "   order: ", implode(",", array_keys($vars)), "\n";
echo "   methods: ", implode(",", get_class_methods("Child")), "\n";
