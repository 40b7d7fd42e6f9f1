<?php
$trail[] = "in2";
function level2_fn() { return 2; }
$inner = include "inc/level3.php";
$trail[] = "out2";
return level2_fn() + $inner;
