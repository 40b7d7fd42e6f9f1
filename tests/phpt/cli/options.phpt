--TEST--
Wrong options are refused with the usage text and status 1
--ARGS--
--repeat 0
--FILE--
<?php
echo "must not run\n";
--EXPECT--
--EXPECTF_STDERR--
brisko-php: --repeat needs a positive number, not "0"
Usage: brisko-php [options] SCRIPT...
%A
--EXPECT_EXIT--
1
