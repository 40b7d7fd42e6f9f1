<?php echo "lib included\n"; ?>
