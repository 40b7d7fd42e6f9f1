--TEST--
A change of the file's change time (chmod, rewrite) forces one new compilation
--ARGS--
--stats
--INCLUDE-- lib.php
<?php echo "version one\n";
--FILE--
<?php
include "lib.php";
include "lib.php";
sleep(1);
chmod("lib.php", 0600);
clearstatcache();
include "lib.php";
include "lib.php";
sleep(1);
file_put_contents("lib.php", "<?php echo \"version two\\n\";");
include "lib.php";
include "lib.php";
--EXPECT--
version one
version one
version one
version one
version two
version two
--EXPECTF_STDERR--
compilations=4
requests=1
