<?php
include "lib.php";
echo old_api(), "\n";
sleep(1);
file_put_contents("lib.php", file_get_contents("next.php"));
include "lib.php";
echo new_api(), " ", old_api(), "\n";
