--TEST--
One cache entry for a file reached by a relative name, an absolute name and a symbolic link
--ARGS--
--stats
--INCLUDE-- lib.php
<?php echo "lib ran\n";
--FILE--
<?php
symlink(getcwd() . "/lib.php", getcwd() . "/link.php");
include "lib.php";
include getcwd() . "/lib.php";
include "link.php";
include "./lib.php";
--EXPECT--
lib ran
lib ran
lib ran
lib ran
--EXPECTF_STDERR--
compilations=2
requests=1
