<?php
// Start at the beginning of a second so that everything below shares it.
$t = time();
while (time() == $t) { usleep(1000); }
file_put_contents("lib.php", "<?php echo \"old\\n\";");
include "lib.php";
file_put_contents("lib.php", "<?php echo \"new\\n\";");
include "lib.php";
