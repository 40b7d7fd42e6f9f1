<?php
$r = include "broken.php";
echo "after: ", var_export($r, true), "\n";
include "good.php";
echo good(), "\n";
undefined_function_here();
echo "not reached\n";
