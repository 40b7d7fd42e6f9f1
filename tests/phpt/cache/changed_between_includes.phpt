--TEST--
A file changed between two includes in one request compiles afresh; what the first include restored keeps working
--ARGS--
--repeat 2 --stats
--INCLUDE-- lib.php
<?php function old_api() { return "old api"; }
--INCLUDE-- next.php
<?php function new_api() { return "new api"; }
--FILE--
<?php
if (!file_exists("orig.php")) { copy_file("lib.php", "orig.php"); }
else { file_put_contents("lib.php", file_get_contents("orig.php")); }
function copy_file($a, $b) { file_put_contents($b, file_get_contents($a)); }
include "lib.php";
echo old_api(), "\n";
sleep(1);
file_put_contents("lib.php", file_get_contents("next.php"));
include "lib.php";
echo new_api(), " ", old_api(), "\n";
--EXPECT--
old api
new api old api
old api
new api old api
