--TEST--
fscanf: a line at a time through sscanf's formats, into an array or variables; the end of the data, bad handles, bad formats
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
$fp = fopen("people.txt", "w");
fwrite($fp, "alice 31 1.75\nbob\tx 2\n\n0x1f 077\nlast line without newline");
fclose($fp);
$fp = fopen("people.txt", "r");
var_dump(fscanf($fp, "%s %d %f"));
var_dump(fscanf($fp, "%s %d %f", $name, $age, $height), $name, $age, isset($height));
// an empty line: nothing read
var_dump(fscanf($fp, "%s"));
var_dump(fscanf($fp, "%x %o", $h, $o), $h, $o);
var_dump(fscanf($fp, "%s %[^\n]"));
var_dump(fscanf($fp, "%s"), feof($fp));
fclose($fp);

echo "-- errors\n";
$fp = fopen("people.txt", "r");
var_dump(fscanf($fp, "%d %d", $one));
var_dump(fscanf($fp, "%1\$s %s"));
var_dump(fscanf($fp));
var_dump(fscanf("nothing", "%s"));
fclose($fp);
var_dump(fscanf($fp, "%s"));
$d = opendir(".");
var_dump(fscanf($d, "%s"));
$w = fopen("out.txt", "w");
var_dump(fscanf($w, "%s"));

echo "-- a long line\n";
$fp = fopen("long.txt", "w");
fwrite($fp, str_repeat("x", 100000) . " 7\n");
fclose($fp);
$fp = fopen("long.txt", "r");
list($word, $n) = fscanf($fp, "%s %d");
var_dump(strlen($word), $n);
--EXPECTF--
array(3) {
  [0]=>
  string(5) "alice"
  [1]=>
  int(31)
  [2]=>
  float(1.75)
}
int(1)
string(3) "bob"
NULL
bool(false)
NULL
int(2)
int(31)
int(63)
array(2) {
  [0]=>
  string(4) "last"
  [1]=>
  string(20) "line without newline"
}
bool(false)
bool(true)
-- errors

Warning: fscanf(): Different numbers of variable names and field specifiers in %s on line 18
int(-1)

Warning: fscanf(): cannot mix "%" and "%n$" conversion specifiers in %s on line 19
NULL

Warning: Wrong parameter count for fscanf() in %s on line 20
NULL

Warning: fscanf(): supplied argument is not a valid stream resource in %s on line 21
bool(false)

Warning: fscanf(): %d is not a valid stream resource in %s on line 23
bool(false)
bool(false)
bool(false)
-- a long line
int(100000)
int(7)
