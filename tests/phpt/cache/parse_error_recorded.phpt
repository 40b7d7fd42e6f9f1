--TEST--
A file with a parse error reports it on every include until it changes, then is compiled and cached
--ARGS--
--stats
--INCLUDE-- bad.php
<?php echo "broken" ?? ;
--FILE--
<?php
echo "start\n";
include "bad.php";
echo "after first\n";
include "bad.php";
echo "after second\n";
sleep(1);
file_put_contents("bad.php", "<?php echo \"fixed\\n\";");
include "bad.php";
include "bad.php";
--EXPECTF--
start

Parse error: %s in %sbad.php on line 1
after first

Parse error: %s in %sbad.php on line 1
after second
fixed
fixed
--EXPECTF_STDERR--
compilations=4
requests=1
