--TEST--
An unknown option is refused with a message naming it, the usage text and status 1; no script runs
--ARGS--
-n --no-such-option
--FILE--
<?php
echo "must not run\n";
--EXPECT--
--EXPECTF_STDERR--
brisko-php: %s--no-such-option
Usage: brisko-php [options] SCRIPT...
%A
--EXPECT_EXIT--
1
