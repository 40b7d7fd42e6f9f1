<?php echo "part from lib\n"; ?>
