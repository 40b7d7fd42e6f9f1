--TEST--
Script error handlers: what they receive, what they take over, nesting and restoring; trigger_error; error_log; hidden errors
--ARGS--
-n
--FILE--
<?php
function show($no, $str, $file, $line, $context) {
    echo "show($no, \"$str\", ", $file == __FILE__ ? "this file" : $file, ", $line, ", implode(",", array_keys($context)), ") er=", error_reporting(), "\n";
}
function short($no, $str) { echo "short: $str\n"; return false; }
class Catcher { var $seen = 0; function catch_it($no, $str) { echo "method: $str\n"; } }

var_dump(set_error_handler("show"));
echo $undefined_at_top;
function scope($arg) { $local = 1; echo $missing; }
scope(5);
trigger_error("user notice");
trigger_error("user warning", E_USER_WARNING);
trigger_error("user error, handled", E_USER_ERROR);
echo "still running\n";

var_dump(set_error_handler("no_such_function"));
trigger_error("the handler is still show");
var_dump(set_error_handler("short"));
strlen();
$c = new Catcher;
var_dump(set_error_handler(array($c, "catch_it")));
trigger_error("through a method");
var_dump(restore_error_handler());
trigger_error("short again");
restore_error_handler();
trigger_error("show again");
restore_error_handler();
var_dump(restore_error_handler());
trigger_error("no handler: shown as a notice");

echo "-- errors inside a handler are shown\n";
function clumsy($no, $str) { echo "clumsy got: $str\n"; echo $oops; trigger_error("from the handler", E_USER_WARNING); }
error_reporting(E_ALL);
set_error_handler("clumsy");
trigger_error("outer");
restore_error_handler();

echo "-- trigger_error arguments\n";
var_dump(trigger_error("x", E_WARNING), trigger_error("x", 0), trigger_error(), trigger_error("a", E_USER_NOTICE, 3));
trigger_error("100% literal %s %d");
trigger_error("cut at\0the NUL byte");
user_error("through user_error", E_USER_WARNING);

echo "-- hidden errors\n";
error_reporting(E_ALL & ~E_USER_NOTICE);
trigger_error("filtered notice");
ini_set("display_errors", "0");
trigger_error("undisplayed warning", E_USER_WARNING);
set_error_handler("short");
trigger_error("the handler sees what is hidden");
restore_error_handler();
ini_set("display_errors", "1");

echo "-- library warnings with HTML errors\n";
ini_set("html_errors", "1");
ob_end_clean();
ini_set("html_errors", "0");

echo "-- error_log\n";
var_dump(error_log("appended line\n", 3, "app.log"), error_log("second", 3, "app.log"), file_get_contents("app.log"));
var_dump(error_log("to the server log"), error_log("mail", 1, "nobody@example.com"), error_log("tcp", 2, "127.0.0.1"));
var_dump(error_log("nowhere", 3, "no/such/dir/file.log"));
ini_set("error_log", getcwd() . "/php_errors.log");
var_dump(error_log("into the error_log setting"));
$log = file_get_contents("php_errors.log");
var_dump(substr($log, 0, 1), substr($log, 3, 1), substr($log, 7, 1), substr($log, 21));

echo "-- an unhandled E_USER_ERROR ends the script\n";
trigger_error("fatal one", E_USER_ERROR);
echo "not reached\n";
--EXPECT_STDERR--
to the server log
--EXPECTF--
NULL
show(8, "Undefined variable: undefined_at_top", this file, 9, GLOBALS) er=2039
show(8, "Undefined variable: missing", this file, 10, arg,local) er=2039
show(1024, "user notice", this file, 12, GLOBALS) er=2039
show(512, "user warning", this file, 13, GLOBALS) er=2039
show(256, "user error, handled", this file, 14, GLOBALS) er=2039
still running
show(2, "set_error_handler() expects the argument (no_such_function) to be a valid callback", this file, 17, GLOBALS) er=2039
NULL
show(1024, "the handler is still show", this file, 18, GLOBALS) er=2039
string(4) "show"
short: Wrong parameter count for strlen()
string(5) "short"
method: through a method
bool(true)
short: short again
show(1024, "show again", this file, 27, GLOBALS,c) er=2039
bool(true)

Notice: no handler: shown as a notice in %s on line 30
-- errors inside a handler are shown
clumsy got: outer

Notice: Undefined variable: oops in %s on line 33

Warning: from the handler in %s on line 33
-- trigger_error arguments

Warning: Invalid error type specified in %s on line 40

Warning: Invalid error type specified in %s on line 40

Warning: Wrong parameter count for trigger_error() in %s on line 40

Warning: Wrong parameter count for trigger_error() in %s on line 40
bool(false)
bool(false)
NULL
NULL

Notice: 100%% literal %%s %%d in %s on line 41

Notice: cut at in %s on line 42

Warning: through user_error in %s on line 43
-- hidden errors
short: the handler sees what is hidden
-- library warnings with HTML errors
<br />
<b>Notice</b>:  ob_end_clean() [<a href='function.ob-end-clean'>function.ob-end-clean</a>]: failed to delete buffer. No buffer to delete. in <b>%s</b> on line <b>57</b><br />
-- error_log
bool(true)
bool(true)
string(20) "appended line
second"

Warning: error_log(): Mail option not available! in %s on line 62

Warning: error_log(): TCP/IP option not available! in %s on line 62
bool(true)
bool(false)
bool(false)

Warning: error_log(no/such/dir/file.log): failed to open stream: No such file or directory in %s on line 63
bool(false)
bool(true)
string(1) "["
string(1) "-"
string(1) "-"
string(29) "] into the error_log setting
"
-- an unhandled E_USER_ERROR ends the script

Fatal error: fatal one in %s on line 70
