<?php
// Array defaults of parameters are fresh on every call, and the constant
// inside them is the request's.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
define("MAX_ITEMS", $request * 5);
include "opts.php";
$q = new Query();
echo $request, ": ", with_opts(), " ", with_opts(), " ", with_opts(array("depth" => 9, "tags" => array(), "max" => 0)), " | ", $q->where(), " | ", $q->where(array()), "\n";
