--TEST--
stat and lstat give the thirteen fields by number and by name (lstat of the link itself); filetype, fileinode, fileowner, filegroup and is_executable; a missing file is false with the stat notice
--ARGS--
-n -d error_reporting=2047
--FILE--
<?php
$dir = dirname(__FILE__) . '/stat_' . getmypid();
@mkdir($dir);
$f = "$dir/data.txt";
$fp = fopen($f, 'w'); fwrite($fp, "hello"); fclose($fp);
@unlink("$dir/link");
symlink($f, "$dir/link");
$s = stat($f);
var_dump(count($s), $s['size'], $s[7], $s['mode'] === fileperms($f), $s[1] === fileinode($f));
var_dump($s['uid'] === fileowner($f), $s['gid'] === filegroup($f), $s['mtime'] === filemtime($f));
$l = lstat("$dir/link");
var_dump($l['ino'] === $s['ino'], stat("$dir/link") === $s);
var_dump(filetype($f), filetype("$dir/link"), filetype($dir));
chmod($f, 0644);
var_dump(is_executable($f));
chmod($f, 0755);
var_dump(is_executable($f));
var_dump(stat("$dir/missing"), filetype("$dir/missing"));
var_dump(stat());
unlink("$dir/link"); unlink($f); rmdir($dir);
--EXPECTF--
int(26)
int(5)
int(5)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(false)
bool(true)
string(4) "file"
string(4) "link"
string(3) "dir"
bool(false)
bool(true)

Notice: stat(): Stat failed for %s/missing (errno=2 - No such file or directory) in %s on line %d

Notice: filetype(): Stat failed for %s/missing (errno=2 - No such file or directory) in %s on line %d
bool(false)
bool(false)

Warning: Wrong parameter count for stat() in %s on line %d
NULL
