<?php echo "version one\n";
