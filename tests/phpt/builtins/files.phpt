--TEST--
File functions in the test's own directory: read, write, append, lines, touch with times, chmod, directories, links, realpath, rename, unlink, chdir, path parts, failures
--ARGS--
-n
--INCLUDE-- data/given.txt
line one
--FILE--
<?php
var_dump(file_exists("data/given.txt"), is_file("data/given.txt"), is_dir("data"), is_file("data"), file_exists("nope"));
var_dump(file_get_contents("data/given.txt"));
var_dump(file_put_contents("out.txt", "abc"), file_put_contents("out.txt", array("d", "e"), FILE_APPEND), file_get_contents("out.txt"), filesize("out.txt"));
file_put_contents("lines.txt", "a\nb\n\nc");
print_r(file("lines.txt"));
var_dump(touch("stamp.txt", 1000000000), filemtime("stamp.txt"), filesize("stamp.txt"));
var_dump(touch("stamp.txt", 1200000000, 1100000000), filemtime("stamp.txt"), fileatime("stamp.txt"));
clearstatcache();
var_dump(chmod("out.txt", 0640), sprintf("%o", fileperms("out.txt") & 0777));
var_dump(mkdir("sub"), mkdir("sub/deeper", 0700), is_dir("sub/deeper"), rmdir("sub/deeper"), is_dir("sub/deeper"));
var_dump(symlink("out.txt", "link.txt"), is_link("link.txt"), is_link("out.txt"), file_get_contents("link.txt"));
var_dump(realpath("link.txt") == realpath("out.txt"), realpath("sub/../out.txt") == getcwd() . "/out.txt", realpath("missing/x"));
var_dump(rename("out.txt", "moved.txt"), file_exists("out.txt"), file_exists("moved.txt"));
var_dump(unlink("moved.txt"), file_exists("moved.txt"), unlink("link.txt"));
$here = getcwd();
var_dump(chdir("sub"), basename(getcwd()), chdir(".."), getcwd() == $here);
var_dump(basename("/a/b/c.txt"), basename("/a/b/c.txt", ".txt"), basename("/a/b/"), dirname("/a/b/c.txt"), dirname("c.txt"), dirname("/c"));
var_dump(file_get_contents("nope.txt"));
var_dump(filemtime("nope.txt"));
var_dump(unlink("nope.txt"));
var_dump(rmdir("nope"));
--EXPECTF--
bool(true)
bool(true)
bool(true)
bool(false)
bool(false)
string(9) "line one
"
int(3)
int(2)
string(5) "abcde"
int(5)
Array
(
    [0] => a

    [1] => b

    [2] => 

    [3] => c
)
bool(true)
int(1000000000)
int(0)
bool(true)
int(1200000000)
int(1100000000)
bool(true)
string(3) "640"
bool(true)
bool(true)
bool(true)
bool(true)
bool(false)
bool(true)
bool(true)
bool(false)
string(5) "abcde"
bool(true)
bool(true)
bool(false)
bool(true)
bool(false)
bool(true)
bool(true)
bool(false)
bool(true)
bool(true)
string(3) "sub"
bool(true)
bool(true)
string(5) "c.txt"
string(1) "c"
string(1) "b"
string(4) "/a/b"
string(1) "."
string(1) "/"

Warning: file_get_contents(nope.txt): failed to open stream: No such file or directory in %s on line 19
bool(false)
bool(false)

Warning: unlink(nope.txt): No such file or directory in %s on line 21
bool(false)

Warning: rmdir(nope): No such file or directory in %s on line 22
bool(false)
