<?php
$before = "set before the error";
if ($x {
    echo "never";
}
