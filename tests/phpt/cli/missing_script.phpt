--TEST--
A script that cannot be opened is reported in PHP's words, starts no request, and the next one still runs
--ARGS--
-n --stats missing-script.php
--FILE--
<?php
echo "runs after the missing one\n";
--EXPECT--
Could not open input file: missing-script.php
runs after the missing one
--EXPECT_STDERR--
compilations=1
requests=1
--EXPECT_EXIT--
0
