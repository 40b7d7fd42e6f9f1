<?php echo "plain\n";
