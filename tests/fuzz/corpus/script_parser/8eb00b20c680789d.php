<?php
include "lib.php";
echo lib_f(), "\n";
