<?php
static $n = 0;
$n++;
echo "[n=$n]";
