<?php echo "old\n";
