<?php
require_once "lib.php";
echo counter(), " ", counter(), " ", counter(), "\n";
$b = new Bag();
echo $b->add("x"), " ", $b->add("y"), "\n";
$c = new Bag();
echo $c->add("z"), "\n";
