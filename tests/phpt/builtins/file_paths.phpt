--TEST--
Files by path: copy, rename, temporary names, whole-file output, directory listings, CSV records, path parts, status notices
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
file_put_contents("src.txt", "alpha\nbeta\n");
var_dump(copy("src.txt", "dst.txt"), file_get_contents("dst.txt"));
var_dump(copy("src.txt", "src.txt"), file_get_contents("src.txt"));
var_dump(copy("missing.txt", "x.txt"), file_exists("x.txt"));
mkdir("d");
var_dump(copy("src.txt", "d"));
var_dump(rename("dst.txt", "d/moved.txt"), file_exists("dst.txt"), file_get_contents("d/moved.txt"));
var_dump(rename("dst.txt", "elsewhere.txt"));

echo "-- temporary names\n";
$name = tempnam(getcwd() . "/d", "pre");
var_dump(dirname($name) == getcwd() . "/d", strncmp(basename($name), "pre", 3), filesize($name));
$name = tempnam("no/such/dir", "../x/fallback");
var_dump(strpos($name, "no/such") === false, substr(basename($name), 0, 8), file_exists($name));
unlink($name);

echo "-- whole files to the output\n";
var_dump(readfile("src.txt"));
var_dump(readfile("nothing.txt"));
$fp = fopen("src.txt", "r");
fgets($fp);
var_dump(fpassthru($fp), fpassthru($fp));
fclose($fp);
ini_set("include_path", ".:d");
var_dump(file("moved.txt"), count(file("moved.txt", true)), file_get_contents("moved.txt", true));

echo "-- directories\n";
touch("d/b");
touch("d/a");
$dh = opendir("d");
var_dump($dh);
$seen = array();
while (($entry = readdir($dh)) !== false) $seen[] = $entry;
sort($seen);
var_dump(count($seen), $seen[0], $seen[1], in_array("a", $seen), in_array("moved.txt", $seen));
rewinddir($dh);
$again = 0;
while (readdir($dh) !== false) $again++;
var_dump($again == count($seen));
var_dump(readdir(), closedir(), readdir($dh));
var_dump(opendir("not-there"), opendir("src.txt"), fopen("d", "r"), file_get_contents("d"));
$fp = fopen("src.txt", "r");
var_dump(readdir($fp), closedir($fp), fgets($fp));
var_dump(readdir("x"));

echo "-- CSV\n";
file_put_contents("data.csv", "a,b,c\n  1,\"two, too\",3\r\n\n\"multi\nline\",\"say \"\"hi\"\"\",\"x\"tail,\nsemi;colon;\"q;q\"\nlast,\"unclosed\n");
$fp = fopen("data.csv", "r");
while (($row = fgetcsv($fp, 1000)) !== false) {
    echo count($row), ": ", implode("|", $row), "\n";
}
rewind($fp);
fgets($fp); fgets($fp); fgets($fp); fgets($fp); fgets($fp); fgets($fp);
var_dump(fgetcsv($fp, 1000, ";"), fgetcsv($fp, 1000, ""), fgetcsv($fp, -1));
rewind($fp);
var_dump(fgetcsv($fp, 4));
var_dump(fgetcsv($fp, 0, ",", ""));
fclose($fp);

echo "-- path parts\n";
var_dump(pathinfo("/var/www/html/index.inc.php"));
var_dump(pathinfo("noext"), pathinfo(".hidden"), pathinfo("/"), pathinfo(""));
var_dump(pathinfo("a/b.c", PATHINFO_BASENAME), pathinfo("a/b.c", PATHINFO_EXTENSION), pathinfo("b", PATHINFO_EXTENSION), pathinfo("b", PATHINFO_DIRNAME));

echo "-- status notices\n";
var_dump(filesize("missing"), filemtime("missing"), is_readable("missing"), is_writable("src.txt"), is_writeable("missing"));
--EXPECTF--
bool(true)
string(11) "alpha
beta
"
bool(false)
string(11) "alpha
beta
"

Warning: copy(missing.txt): failed to open stream: No such file or directory in %s on line 6
bool(false)
bool(false)

Warning: copy(d): failed to open stream: Is a directory in %s on line 8
bool(false)
bool(true)
bool(false)
string(11) "alpha
beta
"

Warning: rename(dst.txt,elsewhere.txt): No such file or directory in %s on line 10
bool(false)
-- temporary names
bool(true)
int(0)
int(0)
bool(true)
string(8) "fallback"
bool(true)
-- whole files to the output
alpha
beta
int(11)

Warning: readfile(nothing.txt): failed to open stream: No such file or directory in %s on line 21
bool(false)
beta
int(5)
int(0)

Warning: file(moved.txt): failed to open stream: No such file or directory in %s on line 27
bool(false)
int(2)
string(11) "alpha
beta
"
-- directories
resource(2) of type (stream)
int(6)
string(1) "."
string(2) ".."
bool(true)
bool(true)
bool(true)

Warning: readdir(): 2 is not a valid Directory resource in %s on line 42
bool(false)
NULL
bool(false)

Warning: opendir(not-there): failed to open dir: No such file or directory in %s on line 43

Warning: opendir(src.txt): failed to open dir: Not a directory in %s on line 43

Warning: fopen(d): failed to open stream: Is a directory in %s on line 43

Warning: file_get_contents(d): failed to open stream: Is a directory in %s on line 43
bool(false)
bool(false)
bool(false)
bool(false)

Warning: readdir(): 3 is not a valid Directory resource in %s on line 45

Warning: closedir(): 3 is not a valid Directory resource in %s on line 45
bool(false)
bool(false)
string(6) "alpha
"

Warning: readdir(): supplied argument is not a valid Directory resource in %s on line 46
bool(false)
-- CSV
3: a|b|c
3: 1|two, too|3
1: 
4: multi
line|say "hi"|xtail|
1: semi;colon;"q;q"
2: last|unclosed


Warning: fgetcsv(): delimiter must be a character in %s on line 56

Warning: fgetcsv(): Length parameter may not be negative in %s on line 56
array(1) {
  [0]=>
  string(14) "last,"unclosed"
}
bool(false)
bool(false)
array(2) {
  [0]=>
  string(1) "a"
  [1]=>
  string(1) "b"
}
array(2) {
  [0]=>
  string(0) ""
  [1]=>
  string(1) "c"
}
-- path parts
array(3) {
  ["dirname"]=>
  string(13) "/var/www/html"
  ["basename"]=>
  string(13) "index.inc.php"
  ["extension"]=>
  string(3) "php"
}
array(2) {
  ["dirname"]=>
  string(1) "."
  ["basename"]=>
  string(5) "noext"
}
array(3) {
  ["dirname"]=>
  string(1) "."
  ["basename"]=>
  string(7) ".hidden"
  ["extension"]=>
  string(6) "hidden"
}
array(2) {
  ["dirname"]=>
  string(1) "/"
  ["basename"]=>
  string(0) ""
}
array(1) {
  ["basename"]=>
  string(0) ""
}
string(3) "b.c"
string(1) "c"
string(0) ""
string(1) "."
-- status notices

Notice: filesize(): Stat failed for missing (errno=2 - No such file or directory) in %s on line 68

Notice: filemtime(): Stat failed for missing (errno=2 - No such file or directory) in %s on line 68
bool(false)
bool(false)
bool(false)
bool(true)
bool(false)
