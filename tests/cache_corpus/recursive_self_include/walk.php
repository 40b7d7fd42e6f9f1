<?php
static $entered = 0;
$entered++;
$depth = isset($depth) ? $depth + 1 : 1;
$path[] = $depth . "/" . $entered;
if ($depth < 6) {
    include "walk.php";
}
$depth--;
