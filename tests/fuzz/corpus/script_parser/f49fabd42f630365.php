<?php
echo "next request\n";
include "good.php";
echo good(), "\n";
nosuch::method();
