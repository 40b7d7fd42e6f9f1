--TEST--
Sessions: __wakeup methods that start the session again, replace $_SESSION or decode into it while the session is being read cannot break the reading
--ARGS--
-n
--FILE--
<?php
class W { var $n = 1; function __wakeup() { } }
session_save_path(getcwd());
session_id('wake');
session_start();
$_SESSION['w'] = new W;
$_SESSION['after'] = 'kept';
--REQUEST--
<?php
error_reporting(E_ALL);
class W {
    var $n;
    function __wakeup() {
        session_start();
        unset($GLOBALS['HTTP_SESSION_VARS']);
        $_SESSION = 5;
        var_dump(session_decode('inner|i:2;'));
        echo "woke\n";
    }
}
session_save_path(getcwd());
$_COOKIE['PHPSESSID'] = 'wake';
session_start();
echo get_class($_SESSION['w']), ' ', $_SESSION['w']->n, ' ', $_SESSION['after'], "\n";
--EXPECTF--

Notice: A session had already been started - ignoring session_start() in %s on line %d
bool(true)
woke
w 1 kept
