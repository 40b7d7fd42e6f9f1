--TEST--
dir() and its Directory object, glob() and its flags, umask() across requests
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
mkdir("tree");
mkdir("tree/sub");
touch("tree/a.txt");
touch("tree/b.php");
touch("tree/sub/c.txt");

echo "-- dir\n";
$d = dir("tree");
var_dump(get_class($d), $d->path, is_resource($d->handle), class_exists("Directory"));
echo implode(" ", get_class_methods($d)), "\n";
$names = array();
while (false !== ($e = $d->read()))
    $names[] = $e;
sort($names);
echo implode(" ", $names), "\n";
var_dump($d->rewind(), $d->read() !== false);
// readdir() without a handle reads the directory dir() opened last
var_dump(readdir() !== false);
var_dump($d->close());
var_dump($d->read(), $d->close());
var_dump(dir("tree/none"), dir("tree/a.txt"), dir(), dir("a", "b"), dir("tree\0x"));
$o = new Directory;
var_dump($o->read());
$o->handle = "nonsense";
var_dump($o->read());
$f = fopen("tree/a.txt", "r");
$o->handle = $f;
var_dump($o->read());
$d = dir("tree/sub");
unset($d);

echo "-- glob\n";
echo implode(" ", glob("tree/*")), "\n";
echo implode(" ", glob("tree/*", GLOB_MARK)), "\n";
echo implode(" ", glob("tree/*", GLOB_ONLYDIR)), "\n";
echo implode(" ", glob("tree/{b,a}.*", GLOB_BRACE)), "\n";
echo implode(" ", glob("tree/{b,a}.*")), "|\n";
var_dump(glob("tree/zz*"), glob("tree/zz*", GLOB_NOCHECK));
var_dump(glob("tree/\\a.txt"), glob("tree/\\a.txt", GLOB_NOESCAPE));
$all = glob("tree/*", GLOB_NOSORT);
sort($all);
echo implode(" ", $all), "\n";
// flags beyond the ones above are dropped, whatever the number
echo implode(" ", glob("tree/*.txt", 1 << 20)), "\n";
var_dump(glob(), glob("tree/\0*"), glob(str_repeat("*/", 2000)));

echo "-- umask\n";
$old = umask(0027);
file_put_contents("old-mask", $old);
printf("%o %o\n", umask(), umask());
touch("masked");
printf("%o\n", fileperms("masked") & 0777);
var_dump(umask(1, 2));
printf("%o\n", umask(077777));
printf("%o\n", umask());
--REQUEST--
<?php
// the mask the first request set is gone
var_dump(umask() == file_get_contents("old-mask"));
--EXPECTF--
-- dir
string(9) "directory"
string(4) "tree"
bool(true)
bool(true)
close rewind read
. .. a.txt b.php sub
NULL
bool(true)
bool(true)
NULL

Warning: read(): %d is not a valid Directory resource in %s on line 22

Warning: close(): %d is not a valid Directory resource in %s on line 22
bool(false)
bool(false)

Warning: dir(tree/none): failed to open dir: No such file or directory in %s on line 23

Warning: dir(tree/a.txt): failed to open dir: Not a directory in %s on line 23

Warning: Wrong parameter count for dir() in %s on line 23

Warning: Wrong parameter count for dir() in %s on line 23

Warning: dir(): Path must not contain NUL bytes in %s on line 23
bool(false)
bool(false)
NULL
NULL
bool(false)

Warning: read(): Unable to find my handle property in %s on line 25
bool(false)

Warning: read(): supplied argument is not a valid Directory resource in %s on line 27
bool(false)

Warning: read(): %d is not a valid Directory resource in %s on line 30
bool(false)
-- glob
tree/a.txt tree/b.php tree/sub
tree/a.txt tree/b.php tree/sub/
tree/sub
tree/b.php tree/a.txt
|
array(0) {
}
array(1) {
  [0]=>
  string(8) "tree/zz*"
}
array(1) {
  [0]=>
  string(10) "tree/a.txt"
}
array(0) {
}
tree/a.txt tree/b.php tree/sub
tree/a.txt

Warning: Wrong parameter count for glob() in %s on line 47

Warning: glob(): Path must not contain NUL bytes in %s on line 47
NULL
bool(false)
array(0) {
}
-- umask
27 27
640

Warning: Wrong parameter count for umask() in %s on line 55
NULL
27
777
bool(true)
