<?php
// Including a file twice redeclares its function: the engine stops the
// request with its own error, also when the file comes from the cache.
echo "start\n";
include "lib.php";
echo helper(), "\n";
include "lib.php";
echo "not reached\n";
