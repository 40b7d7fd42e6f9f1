<?php
$u = "NoSuch";
$u();
echo "not reached\n";
