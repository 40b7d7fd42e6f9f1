<?php
echo "an internal function known while compiling\n";
reset(array(1, 2));
