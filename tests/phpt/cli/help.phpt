--TEST--
--help prints the usage text and runs nothing
--ARGS--
--help
--FILE--
<?php
echo "must not run\n";
--EXPECTF--
Usage: brisko-php [options] SCRIPT...
Runs each SCRIPT as one request, in order, in one process.
%A
  --stats          print the engine's counters on standard error at exit
  --help           show this text
--EXPECT_EXIT--
0
