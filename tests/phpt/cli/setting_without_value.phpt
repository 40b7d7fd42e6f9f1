--TEST--
A -d without name=value is refused; -d values attached or apart, and repeated, all count
--ARGS--
-n -dinclude_path=lib -d error_reporting=2047 -d html_errors
--FILE--
<?php
echo "must not run\n";
--EXPECT--
--EXPECTF_STDERR--
brisko-php: -d needs name=value, not "html_errors"
Usage: brisko-php [options] SCRIPT...
%A
--EXPECT_EXIT--
1
