--TEST--
A script that cannot be opened is reported in PHP's words and the next one still runs
--ARGS--
-n missing-script.php
--FILE--
<?php
echo "runs after the missing one\n";
--EXPECT--
Could not open input file: missing-script.php
runs after the missing one
--EXPECT_EXIT--
0
