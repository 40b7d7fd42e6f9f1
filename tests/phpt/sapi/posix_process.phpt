--TEST--
posix_getpid and posix_kill: the process id, signal 0 to probe, false for a process that is not there, wrong counts
--ARGS--
-n
--FILE--
<?php
$pid = posix_getpid();
var_dump(is_int($pid) && $pid > 1);
var_dump(posix_kill($pid, 0));
var_dump(posix_kill(-99999999999, 0));
var_dump(posix_kill($pid, 999));
var_dump(posix_kill($pid));
var_dump(zend_compilations());
include "inc.php";
var_dump(zend_compilations());
--INCLUDE-- inc.php
<?php
--EXPECTF--
bool(true)
bool(true)
bool(false)
bool(false)

Warning: Wrong parameter count for posix_kill() in %s on line %d
NULL
int(1)
int(2)
