<?php
symlink(getcwd() . "/lib.php", getcwd() . "/link.php");
include "lib.php";
include getcwd() . "/lib.php";
include "link.php";
include "./lib.php";
