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
