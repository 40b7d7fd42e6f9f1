--TEST--
A "#!" first line of the main script is not output, and lines are counted after it; included files are left alone
--ARGS--
-n
--FILE--
#!/usr/bin/php -q
<?php
echo "line ", __LINE__, "\n";
include "with_hash.inc";
echo $undefined_var . trigger_line();
function trigger_line() { return 1 / 0; }
--INCLUDE-- with_hash.inc
#!not an interpreter line here
<?php echo "included\n";
--EXPECTF--
line 3
#!not an interpreter line here
included

Warning: Division by zero in %s on line 6
