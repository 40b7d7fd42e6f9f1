--TEST--
PHP 4 style sessions: session_register starts the session and registers globals by name (strings and arrays of names); under register_globals the global and the session variable are one variable, in the request that registers it and after session_start in later ones; session_is_registered and session_unregister; the request arrays are never replaced by session data
--ARGS--
-n -d register_globals=1
--FILE--
<?php
session_save_path(getcwd());
session_id('old1');
$user = 'ann';
$visits = 1;
var_dump(session_register('user', array('visits', array('cart')), '_SESSION'));
var_dump(session_id(), session_is_registered('user'), session_is_registered('cart'), session_is_registered('nope'));
$visits++;
$cart = array('book');
$_SESSION['_GET'] = 'must not replace $_GET';
echo $_SESSION['visits'], ' ', count($_SESSION['cart']), "\n";
--REQUEST--
<?php
$_COOKIE['PHPSESSID'] = 'old1';
$user = 'from the request';
session_save_path(getcwd());
session_start();
echo $user, ' ', $visits, ' ', $cart[0], ' ', isset($_GET) ? 'GET replaced' : 'GET kept', "\n";
$visits = $visits + 10;
$cart[] = 'pen';
var_dump(session_unregister('user'), session_is_registered('user'), $user);
--REQUEST--
<?php
$_COOKIE['PHPSESSID'] = 'old1';
session_save_path(getcwd());
session_start();
echo isset($user) ? 'user still there' : 'user gone', ' ', $visits, ' ', implode(',', $cart), "\n";
var_dump(session_register());
--EXPECTF--
bool(true)
string(4) "old1"
bool(true)
bool(true)
bool(false)
2 1
ann 2 book GET kept
bool(true)
bool(false)
string(3) "ann"
user gone 12 book,pen

Warning: Wrong parameter count for session_register() in %s on line %d
NULL
