--TEST--
A failing early request does not decide the exit status; the last one does
--ARGS--
-n
--FILE--
<?php
exit(9);
--REQUEST--
<?php
echo "ends normally\n";
--EXPECT--
ends normally
--EXPECT_EXIT--
0
