--TEST--
Sessions over several requests: the id from the PHPSESSID cookie, $_SESSION and $HTTP_SESSION_VARS as one array, the file written at request end, session_encode/unset/destroy, hostile ids never name a file
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
session_save_path(getcwd());
session_id('visitor1');
var_dump(session_start());
echo session_id(), ' ', session_name(), ' ', SID, "\n";
$_SESSION['count'] = 1;
$_SESSION['user'] = array('name' => 'ann', 'roles' => array('admin'));
$_SESSION[7] = 'numeric keys are not kept';
$_SESSION['a|b'] = 'names with a bar are not kept';
echo filesize(getcwd() . '/sess_visitor1'), "\n";
--REQUEST--
<?php
$_COOKIE['PHPSESSID'] = 'visitor1';
session_save_path(getcwd());
session_start();
echo session_id(), ' [', SID, "]\n";
echo $_SESSION['count'], ' ', $_SESSION['user']['name'], ' ', $HTTP_SESSION_VARS['count'], ' ', count($_SESSION), "\n";
$_SESSION['count']++;
$HTTP_SESSION_VARS['via_old_name'] = true;
echo file_get_contents(getcwd() . '/sess_visitor1'), "\n";
--REQUEST--
<?php
$_COOKIE['PHPSESSID'] = 'visitor1';
session_save_path(getcwd());
session_start();
echo $_SESSION['count'], ' ', var_export($_SESSION['via_old_name'], true), "\n";
echo session_encode(), "\n";
session_unset();
var_dump(count($_SESSION));
var_dump(session_destroy(), file_exists(getcwd() . '/sess_visitor1'), session_id());
--REQUEST--
<?php
$_COOKIE['PHPSESSID'] = '../../etc/passwd';
session_save_path(getcwd());
session_start();
$id = session_id();
var_dump(strlen($id), preg_match('/^[0-9a-f]{32}$/', $id), SID == 'PHPSESSID=' . $id);
$_SESSION['fresh'] = 1;
session_write_close();
echo file_get_contents(getcwd() . '/sess_' . $id), "\n";
$_SESSION['after_close'] = 'not saved';
--REQUEST--
<?php
$_GET['PHPSESSID'] = 'from-query,1';
session_save_path(getcwd());
session_start();
echo session_id(), ' [', SID, "]\n";
$_SESSION['q'] = 'yes';
session_write_close();
echo file_get_contents(getcwd() . '/sess_from-query,1'), "\n";
--EXPECTF--
bool(true)
visitor1 PHPSESSID PHPSESSID=visitor1
0

Notice: Skipping numeric key 7 in Unknown on line 0

Notice: Skipping session variable 'a|b': its name may not hold '|' or start with '!' in Unknown on line 0
visitor1 []
1 ann 1 2
count|i:1;user|a:2:{s:4:"name";s:3:"ann";s:5:"roles";a:1:{i:0;s:5:"admin";}}
2 true
count|i:2;user|a:2:{s:4:"name";s:3:"ann";s:5:"roles";a:1:{i:0;s:5:"admin";}}via_old_name|b:1;
int(0)
bool(true)
bool(false)
string(0) ""
int(32)
int(1)
bool(true)
fresh|i:1;
from-query,1 [PHPSESSID=from-query,1]
q|s:3:"yes";
