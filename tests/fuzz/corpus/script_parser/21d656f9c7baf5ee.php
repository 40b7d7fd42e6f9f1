<?php echo "lib ran\n";
