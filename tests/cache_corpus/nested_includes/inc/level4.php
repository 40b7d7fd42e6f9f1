<?php
$trail[] = "in4";
function level4_fn() { return 4; }
$inner = include "inc/level5.php";
$trail[] = "out4";
return level4_fn() + $inner;
