<?php
// The first request includes the subclass before its parent, which stops
// it with a compile error; later requests include them in order.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo $request, ": ";
if ($request == 1) {
    include "child.php";
}
include "base.php";
include "child.php";
$c = new Child();
echo $c->hi(), "\n";
