<?php
// Odd requests include the subclass before its parent, which stops them
// when its declaration runs, also once the subclass is cached; even requests
// include them in order.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
echo $request, ": ";
if ($request % 2 == 1) {
    include "child.php";
}
include "base.php";
include "child.php";
$c = new Child();
echo $c->hi(), "\n";
