<?php
// Top-level statics of an included file start afresh with every include.
include "counter.php";
include "counter.php";
include "counter.php";
echo "\n";
