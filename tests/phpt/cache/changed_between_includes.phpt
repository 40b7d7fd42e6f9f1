--TEST--
A file changed between two includes in one request compiles afresh; what the first include restored keeps working
--ARGS--
--stats
--INCLUDE-- lib.php
<?php function old_api() { return "old api"; }
--INCLUDE-- next.php
<?php function new_api() { return "new api"; }
--FILE--
<?php
include "lib.php";
echo old_api(), "\n";
sleep(1);
file_put_contents("lib.php", file_get_contents("next.php"));
include "lib.php";
echo new_api(), " ", old_api(), "\n";
--EXPECT--
old api
new api old api
--EXPECT_STDERR--
compilations=3
requests=1
