--TEST--
session_register without register_globals: the name joins $_SESSION as null, the global is not bound, and later requests see $_SESSION only
--ARGS--
-n
--FILE--
<?php
session_save_path(getcwd());
session_id('old2');
$count = 5;
session_register('count');
var_dump(array_key_exists('count', $_SESSION), $_SESSION['count']);
$_SESSION['count'] = 7;
echo $count, "\n";
--REQUEST--
<?php
$_COOKIE['PHPSESSID'] = 'old2';
session_save_path(getcwd());
session_start();
var_dump(isset($count), $_SESSION['count'], session_is_registered('count'));
--EXPECT--
bool(true)
NULL
5
bool(false)
int(7)
bool(true)
