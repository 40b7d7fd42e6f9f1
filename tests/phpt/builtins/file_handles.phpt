--TEST--
File handles: open modes, reading by line, byte and block, writing, positions, end of file, locks, status, closed and wrong handles
--ARGS--
-n
--FILE--
<?php
$fp = fopen("a.txt", "w");
var_dump($fp, get_resource_type($fp), is_resource($fp));
var_dump(fwrite($fp, "one\ntwo\nthree"), fputs($fp, "XYZ", 1), fwrite($fp, "ignored", 0), fwrite($fp, "nothing", -3), ftell($fp), fflush($fp));
var_dump(fclose($fp), is_resource($fp), gettype($fp), get_resource_type($fp));
var_dump($fp);
var_dump(fwrite($fp, "late"), fclose($fp), feof($fp));
var_dump(fread("a.txt", 3), fgets(42));

echo "-- lines\n";
$fp = fopen("a.txt", "rb");
$n = 0;
while (!feof($fp)) {
    var_dump(fgets($fp));
    if (++$n > 10) break;
}
rewind($fp);
var_dump(fgets($fp, 3), fgets($fp, 1), fgets($fp, 0), fgets($fp, 100), fgetc($fp), fgetc($fp), ftell($fp));
var_dump(fread($fp, 0), fread($fp, 4), fread($fp, 1000), fread($fp, 5), feof($fp), fgetc($fp), fgets($fp));
var_dump(fseek($fp, 4), fgets($fp), fseek($fp, -3, SEEK_END), fread($fp, 10), fseek($fp, -100), ftell($fp), fseek($fp, 1, 99));
var_dump(fseek($fp, 2, SEEK_SET), fseek($fp, 2, SEEK_CUR), fgetc($fp), rewind($fp), fgetc($fp));
fclose($fp);

echo "-- a file that ends with a newline has one more, empty, read\n";
$fp = fopen("b.txt", "w+");
fwrite($fp, "x\ny\n");
rewind($fp);
$lines = array();
while (!feof($fp)) $lines[] = fgets($fp);
var_dump($lines);
fclose($fp);

echo "-- modes\n";
$fp = fopen("b.txt", "a");
var_dump(ftell($fp), fwrite($fp, "z\n"), fgets($fp), feof($fp));
fclose($fp);
var_dump(file_get_contents("b.txt"));
$fp = fopen("b.txt", "r+");
var_dump(fgets($fp), fwrite($fp, "Y"), ftell($fp), fgets($fp));
fclose($fp);
var_dump(file_get_contents("b.txt"));
var_dump(fopen("b.txt", "x"));
$fp = fopen("c.txt", "x+");
var_dump(fwrite($fp, "new"), rewind($fp), fread($fp, 10));
fclose($fp);
$fp = fopen("b.txt", "r");
var_dump(fwrite($fp, "no"), file_get_contents("b.txt"));
fclose($fp);
$fp = fopen("b.txt", "w");
var_dump(fgets($fp), feof($fp), filesize("b.txt"));
fclose($fp);
var_dump(fopen("a.txt", "z"), fopen("", "r"), fopen("no/such/file", "r"), fopen("a\0b", "r"));

echo "-- include path\n";
mkdir("inc");
file_put_contents("inc/found.txt", "from the include path");
ini_set("include_path", "nowhere:inc");
var_dump(fopen("found.txt", "r"));
$fp = fopen("found.txt", "r", true);
var_dump(fgets($fp));

echo "-- locks\n";
function lock_and_forget() {
    $h = fopen("a.txt", "r");
    return flock($h, LOCK_EX);
}
var_dump(lock_and_forget());
$one = fopen("a.txt", "r");
$two = fopen("a.txt", "r");
$block = "untouched";
var_dump(flock($one, LOCK_EX | LOCK_NB), flock($two, LOCK_SH | LOCK_NB), flock($two, LOCK_SH | LOCK_NB, $block), $block);
var_dump(flock($one, LOCK_UN), flock($two, LOCK_SH, $block), $block, flock($one, 0), flock($one, 7));

echo "-- status\n";
$st = fstat($one);
var_dump(count($st), $st['size'], $st[7], $st['size'] == filesize("a.txt"), implode(",", array_keys($st)));
$t = tmpfile();
var_dump(fwrite($t, "temporary"), rewind($t), fread($t, 100), fstat($t) ? "stat" : "none");
fclose($t);

echo "-- argument errors\n";
var_dump(fopen("a.txt"), fgets(), feof($one, 1), fclose("x"), fpassthru(array()), fseek($one));
--EXPECTF--
resource(1) of type (stream)
string(6) "stream"
bool(true)
int(13)
int(1)
int(0)
int(0)
int(14)
bool(true)
bool(true)
bool(false)
string(8) "resource"
string(7) "Unknown"
resource(1) of type (Unknown)

Warning: fwrite(): 1 is not a valid stream resource in %s on line 7

Warning: fclose(): 1 is not a valid stream resource in %s on line 7

Warning: feof(): 1 is not a valid stream resource in %s on line 7
bool(false)
bool(false)
bool(false)

Warning: fread(): supplied argument is not a valid stream resource in %s on line 8

Warning: fgets(): supplied argument is not a valid stream resource in %s on line 8
bool(false)
bool(false)
-- lines
string(4) "one
"
string(4) "two
"
string(6) "threeX"

Warning: fgets(): Length parameter must be greater than 0. in %s on line 18
string(2) "on"
bool(false)
bool(false)
string(2) "e
"
string(1) "t"
string(1) "w"
int(6)

Warning: fread(): Length parameter must be greater than 0. in %s on line 19
bool(false)
string(4) "o
th"
string(4) "reeX"
string(0) ""
bool(true)
bool(false)
bool(false)
int(0)
string(4) "two
"
int(0)
string(3) "eeX"
int(-1)
int(14)
int(-1)
int(0)
int(0)
string(1) "t"
bool(true)
string(1) "o"
-- a file that ends with a newline has one more, empty, read
array(3) {
  [0]=>
  string(2) "x
"
  [1]=>
  string(2) "y
"
  [2]=>
  bool(false)
}
-- modes
int(4)
int(2)
bool(false)
bool(true)
string(6) "x
y
z
"
string(2) "x
"
int(1)
int(3)
string(1) "
"
string(6) "x
Y
z
"

Warning: fopen(b.txt): failed to open stream: File exists in %s on line 42
bool(false)
int(3)
bool(true)
string(3) "new"
int(0)
string(6) "x
Y
z
"
bool(false)
bool(true)
int(0)

Warning: fopen(): `z' is not a valid mode for fopen in %s on line 52

Warning: fopen(): failed to open stream: No such file or directory in %s on line 52

Warning: fopen(no/such/file): failed to open stream: No such file or directory in %s on line 52

Warning: fopen(): Path must not contain NUL bytes in %s on line 52
bool(false)
bool(false)
bool(false)
bool(false)
-- include path

Warning: fopen(found.txt): failed to open stream: No such file or directory in %s on line 58
bool(false)
string(21) "from the include path"
-- locks
bool(true)
bool(true)
bool(false)
bool(false)
int(1)

Warning: flock(): Illegal operation argument in %s on line 72
bool(true)
bool(true)
int(0)
bool(false)
bool(true)
-- status
int(26)
int(14)
int(14)
bool(true)
string(98) "0,1,2,3,4,5,6,7,8,9,10,11,12,dev,ino,mode,nlink,uid,gid,rdev,size,atime,mtime,ctime,blksize,blocks"
int(9)
bool(true)
string(9) "temporary"
string(4) "stat"
-- argument errors

Warning: Wrong parameter count for fopen() in %s on line 82

Warning: Wrong parameter count for fgets() in %s on line 82

Warning: Wrong parameter count for feof() in %s on line 82

Warning: fclose(): supplied argument is not a valid stream resource in %s on line 82

Warning: fpassthru(): supplied argument is not a valid stream resource in %s on line 82

Warning: Wrong parameter count for fseek() in %s on line 82
NULL
NULL
NULL
bool(false)
bool(false)
NULL
