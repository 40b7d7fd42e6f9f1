<?php
define("K", "konst");
include "shapes.php";
$q = new Square("sq");
echo describe($q), " ", describe(new Shape), " ", implode(",", $q->tags), "\n";
