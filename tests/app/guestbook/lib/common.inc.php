<?php
/*
 * Included first by every page: settings, classes, the session, and the
 * request's input made ready for use.
 */
ob_start(); // pages may still send headers after they began to print

require_once dirname(__FILE__) . '/config.inc.php';
require_once dirname(__FILE__) . '/filestore.inc.php';
require_once dirname(__FILE__) . '/user.inc.php';
require_once dirname(__FILE__) . '/forum.inc.php';
require_once dirname(__FILE__) . '/form.inc.php';
require_once dirname(__FILE__) . '/html.inc.php';
require_once dirname(__FILE__) . '/session.inc.php';

/* Tests fix the clock; the site uses the real one. */
function gb_now()
{
    return defined('GB_NOW') ? GB_NOW : time();
}

/* Problems inside the guestbook are shown on the page as a short note;
 * silenced ones (@) stay silent. */
function gb_error_handler($level, $message, $file, $line)
{
    if (!(error_reporting() & $level)) {
        return;
    }
    switch ($level) {
    case E_USER_ERROR:
        echo '<p class="error">Sorry, the guestbook has a problem: ', h($message), "</p>\n";
        exit(1);
    case E_USER_WARNING:
    case E_WARNING:
        $kind = 'Warning';
        break;
    default:
        $kind = 'Notice';
    }
    echo '<p class="error">', $kind, ': ', h($message), ' (', basename($file), ")</p>\n";
}

/* Strips the backslashes that magic quotes added, at any depth. */
function gb_unquote($value)
{
    return is_array($value) ? array_map('gb_unquote', $value) : stripslashes($value);
}

if (get_magic_quotes_gpc()) {
    $_GET = gb_unquote($_GET);
    $_POST = gb_unquote($_POST);
    $_COOKIE = gb_unquote($_COOKIE);
}

set_error_handler('gb_error_handler');

if (!is_dir(GB_DATA_DIR)) {
    mkdir(GB_DATA_DIR, 0700);
}
gb_session_start();

$forum = new Forum(GB_DATA_DIR . '/forum.dat');
$users = new UserList(GB_DATA_DIR . '/users.dat');
?>
