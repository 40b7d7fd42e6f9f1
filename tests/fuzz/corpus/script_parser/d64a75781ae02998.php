<?php
echo "second request\n";
include "child.php";
echo "not reached\n";
