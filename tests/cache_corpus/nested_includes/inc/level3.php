<?php
$trail[] = "in3";
function level3_fn() { return 3; }
$inner = include "inc/level4.php";
$trail[] = "out3";
return level3_fn() + $inner;
