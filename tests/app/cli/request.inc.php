<?php
/*
 * Makes one request to the guestbook as a browser would, from the command
 * line: the request's script sets $request before including this file.
 *
 *   $request = array(METHOD, PAGE, QUERY, BODY, SESSION_ID, CLOCK);
 *
 * SESSION_ID is the browser's session cookie ('' for none). The page runs
 * in the global scope, as the server runs it.
 */
list($method, $request_page, $query, $body, $session, $clock) = $request;
unset($request);

define('GB_NOW', $clock);
$_SERVER = array('REQUEST_METHOD' => $method, 'PHP_SELF' => '/' . $request_page, 'SCRIPT_NAME' => '/' . $request_page,
                 'QUERY_STRING' => $query);
parse_str($query, $_GET);
$_POST = array();
if ($method == 'POST') {
    parse_str($body, $_POST);
}
$_COOKIE = $session == '' ? array() : array('GBSESS' => $session);
$_REQUEST = array_merge($_GET, $_POST, $_COOKIE);
$HTTP_GET_VARS = $_GET;
$HTTP_POST_VARS = $_POST;
$HTTP_COOKIE_VARS = $_COOKIE;
$HTTP_SERVER_VARS = $_SERVER;

echo "==== $method /$request_page", $query == '' ? '' : "?$query", $body == '' ? '' : " [$body]", "\n";
unset($method, $query, $body, $session, $clock);
chdir(dirname(__FILE__) . '/guestbook/htdocs');
include $request_page;
?>
