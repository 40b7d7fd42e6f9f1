<?php
include "parent.php";
include "child.php";
$c = new Child();
echo $c->who(), "\n";
