--TEST--
ftruncate: cuts or extends a file in place and keeps the position; 1 on success and 0 when the system refuses, as the original engine returned; wrong handles and counts
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
$fp = fopen("t.txt", "w+");
fwrite($fp, "0123456789");
var_dump(ftruncate($fp, 4), ftell($fp));
clearstatcache();
var_dump(filesize("t.txt"));
var_dump(fwrite($fp, "X"), file_get_contents("t.txt") === "0123" . str_repeat("\0", 6) . "X");
var_dump(ftruncate($fp, "2 bytes"), file_get_contents("t.txt"));
var_dump(ftruncate($fp, -1), file_get_contents("t.txt"));
fclose($fp);

echo "-- read ahead does not survive a cut\n";
file_put_contents("r.txt", "line one\nline two\n");
$fp = fopen("r.txt", "r+");
var_dump(fgets($fp));
var_dump(ftruncate($fp, 9), fgets($fp), feof($fp));
fclose($fp);

echo "-- appending after emptying, as a locked rewrite does\n";
$fp = fopen("a.txt", "a+");
fwrite($fp, "old contents");
flock($fp, LOCK_EX);
rewind($fp);
var_dump(fread($fp, 100));
var_dump(ftruncate($fp, 0), fwrite($fp, "new"), flock($fp, LOCK_UN));
fclose($fp);
var_dump(file_get_contents("a.txt"));

echo "-- a file open for reading only\n";
$fp = fopen("a.txt", "r");
var_dump(ftruncate($fp, 0), file_get_contents("a.txt"));
fclose($fp);

echo "-- wrong arguments\n";
var_dump(ftruncate($fp, 0));
var_dump(ftruncate("a.txt", 0));
var_dump(ftruncate($fp));
var_dump(ftruncate());
--EXPECTF--
int(1)
int(10)
int(4)
int(1)
bool(true)
int(1)
string(2) "01"
int(0)
string(2) "01"
-- read ahead does not survive a cut
string(9) "line one
"
int(1)
bool(false)
bool(true)
-- appending after emptying, as a locked rewrite does
string(12) "old contents"
int(1)
int(3)
bool(true)
string(3) "new"
-- a file open for reading only
int(0)
string(3) "new"
-- wrong arguments

Warning: ftruncate(): %d is not a valid stream resource in %s on line 36
bool(false)

Warning: ftruncate(): supplied argument is not a valid stream resource in %s on line 37
bool(false)

Warning: Wrong parameter count for ftruncate() in %s on line 38
NULL

Warning: Wrong parameter count for ftruncate() in %s on line 39
NULL
