--TEST--
An extension that cannot be loaded stops brisko-php with a message and status 1, before any script runs
--ARGS--
-z ./not-an-extension.so
--INCLUDE-- not-an-extension.so
this is not a shared object
--FILE--
<?php
echo "must not run\n";
--EXPECT--
--EXPECTF_STDERR--
brisko-php: %snot-an-extension.so%s
--EXPECT_EXIT--
1
