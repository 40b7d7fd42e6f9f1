<?php
echo "exits with 5\n";
exit(5);
