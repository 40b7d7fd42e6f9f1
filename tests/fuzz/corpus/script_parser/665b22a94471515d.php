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
