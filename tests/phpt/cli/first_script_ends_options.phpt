--TEST--
The first script ends the options: every later argument is a script, even one that starts with "-"
--ARGS--
-n first.php -d --repeat
--INCLUDE-- first.php
<?php echo "first\n"; ?>
--INCLUDE-- -d
<?php echo "a script named -d\n"; ?>
--FILE--
<?php
echo "last\n";
--EXPECT--
first
a script named -d
Could not open input file: --repeat
last
--EXPECT_EXIT--
0
