--TEST--
exit and die: message printed, integer status, the request ends but the next one runs
--ARGS--
-n
--FILE--
<?php
function deep() { echo "in deep\n"; die("dying words\n"); }
deep();
echo "not reached\n";
--REQUEST--
<?php
echo "second\n";
exit;
--REQUEST--
<?php
echo "third\n";
exit(0);
--EXPECT--
in deep
dying words
second
third
