<?php
$trail[] = "in1";
function level1_fn() { return 1; }
$inner = include "inc/level2.php";
$trail[] = "out1";
return level1_fn() + $inner;
