<?php
echo error_reporting(), "\n";
error_reporting(E_ALL);
function quit() { exit("left inside @\n"); }
@quit();
