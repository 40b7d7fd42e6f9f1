<?php
if (true) {
    function shim() { return "shim from shim.php"; }
}
echo "shim.php ran, ";
