<?php
echo "later versions' forms are not PHP 4\n";
$x = 1 ?: 2;
