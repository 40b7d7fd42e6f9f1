#!/usr/bin/php -q
<?php
echo "line ", __LINE__, "\n";
include "with_hash.inc";
echo $undefined_var . trigger_line();
function trigger_line() { return 1 / 0; }
