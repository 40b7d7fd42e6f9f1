--TEST--
Under the server interface "cgi" nothing is cached
--ARGS--
--sapi cgi --repeat 3 --stats
--INCLUDE-- lib.php
<?php function lib_f() { return "f"; }
--FILE--
<?php
include "lib.php";
echo lib_f(), "\n";
--EXPECT--
f
f
f
--EXPECTF_STDERR--
compilations=6
requests=3
