--TEST--
The exit status is the last request's: exit(n) gives n, a fatal error 255
--ARGS--
-n
--FILE--
<?php
echo "exits with 5\n";
exit(5);
--REQUEST--
<?php
echo "calls a missing function\n";
no_such_function();
echo "never printed\n";
--EXPECTF--
exits with 5
calls a missing function

Fatal error: Call to undefined function: no_such_function() in %s on line 3
--EXPECT_EXIT--
255
