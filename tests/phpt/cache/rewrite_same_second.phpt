--TEST--
A rewrite within the same second as the cached compilation is seen: same size, new nanoseconds
--ARGS--
--stats
--INCLUDE-- lib.php
<?php echo "old\n";
--FILE--
<?php
// Start at the beginning of a second so that everything below shares it.
$t = time();
while (time() == $t) { usleep(1000); }
file_put_contents("lib.php", "<?php echo \"old\\n\";");
include "lib.php";
include "lib.php";
file_put_contents("lib.php", "<?php echo \"new\\n\";");
include "lib.php";
include "lib.php";
echo time() == $t + 1 ? "same second\n" : "next second\n";
--EXPECT--
old
old
new
new
same second
--EXPECTF_STDERR--
compilations=3
requests=1
