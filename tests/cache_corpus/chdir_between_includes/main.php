<?php
// A relative name means another file once the working folder changes.
$home = getcwd();
$a = include "conf.php";
chdir("admin");
$b = include "conf.php";
$c = include_once "../conf.php";
chdir($home);
echo $a, " / ", $b, " / ", var_export($c, true), " ", $conf_name, " ", conf_dir(), "\n";
