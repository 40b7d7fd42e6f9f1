<?php
/*
 * The visitor's session: who is logged in, failed logins, and a one-time
 * message ("flash") shown on the next page.
 */
function gb_session_start()
{
    $dir = GB_DATA_DIR . '/sessions';
    if (!is_dir($dir)) {
        mkdir($dir, 0700);
    }
    session_save_path($dir);
    session_name(GB_SESSION_NAME);
    session_start();
}

/* The logged-in member's name, or false. */
function gb_current_user()
{
    return isset($_SESSION['user']) ? $_SESSION['user'] : false;
}

function gb_login($name)
{
    $_SESSION['user'] = $name;
    $_SESSION['since'] = gb_now();
    unset($_SESSION['failures']);
}

function gb_logout()
{
    $_SESSION = array();
    session_destroy();
}

function gb_flash($message)
{
    $_SESSION['flash'] = $message;
}

function gb_take_flash()
{
    if (!isset($_SESSION['flash'])) {
        return '';
    }
    $message = $_SESSION['flash'];
    unset($_SESSION['flash']);
    return $message;
}

/* Sends the browser on to another page of the guestbook and ends this one. */
function gb_redirect($page)
{
    header('Location: ' . $page);
    echo 'Moved to <a href="', h($page), '">', h($page), "</a>\n";
    exit;
}
?>
