--TEST--
getlastmod, getmyuid, getmygid and getmyinode describe the main script's file; get_current_user names its owner; fnmatch with its flags; strcoll in the C locale; disk space; chown and chgrp by name and number, with the original's warnings
--ARGS--
-n
--FILE--
<?php
var_dump(getlastmod() === filemtime(__FILE__), getmyuid() === fileowner(__FILE__),
         getmygid() === filegroup(__FILE__), getmyinode() === fileinode(__FILE__), get_current_user() != '');
var_dump(fnmatch('*.txt', 'a.txt'), fnmatch('*.txt', 'dir/a.txt', FNM_PATHNAME), fnmatch('A*', 'abc'),
         fnmatch('A*', 'abc', FNM_CASEFOLD), fnmatch('[', '['));
var_dump(strcoll('a', 'b') < 0, strcoll('b', 'a') > 0, strcoll('same', 'same'));
var_dump(disk_free_space('.') > 0, disk_total_space('.') >= disk_free_space('.'), diskfreespace('.') > 0);
var_dump(disk_free_space('no/such/dir'));
touch('owned.txt');
var_dump(chown('owned.txt', getmyuid()), chgrp('owned.txt', getmygid()));
var_dump(chown('owned.txt', 'no_such_user_here'), chgrp('owned.txt', 'no_such_group_here'));
var_dump(chown('no/such/file', getmyuid()));
var_dump(getlastmod(1), fnmatch('x'));
--EXPECTF--
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(false)
bool(false)
bool(true)
bool(true)
bool(true)
bool(true)
int(0)
bool(true)
bool(true)
bool(true)

Warning: disk_free_space(): No such file or directory in %s on line %d
bool(false)
bool(true)
bool(true)

Warning: chown(): Unable to find uid for no_such_user_here in %s on line %d

Warning: chgrp(): Unable to find gid for no_such_group_here in %s on line %d
bool(false)
bool(false)

Warning: chown(): No such file or directory in %s on line %d
bool(false)

Warning: Wrong parameter count for getlastmod() in %s on line %d

Warning: Wrong parameter count for fnmatch() in %s on line %d
NULL
NULL
