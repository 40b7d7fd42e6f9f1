<?php
// Includes nested five deep, each adding to the including scope and
// returning its own value plus the one below.
$trail = array();
$sum = include "inc/level1.php";
echo $sum, " ", implode(">", $trail), " ", level3_fn() + level4_fn(), "\n";
