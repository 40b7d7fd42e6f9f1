--TEST--
-n and -z together are refused, before any extension is loaded
--ARGS--
-n -z ./some.so
--FILE--
<?php
echo "must not run\n";
--EXPECT--
--EXPECTF_STDERR--
brisko-php: -n and -z exclude each other
Usage: brisko-php [options] SCRIPT...
%A
--EXPECT_EXIT--
1
