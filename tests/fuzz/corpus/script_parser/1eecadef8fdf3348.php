<?php echo "found along include_path\n"; ?>
