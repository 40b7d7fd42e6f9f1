--TEST--
Shutdown functions: run after the script in order with their arguments, also after exit and fatal errors, inside open output buffers; exit ends the list
--ARGS--
-n
--FILE--
<?php
function say($what, $more = "") { echo "shutdown: $what $more\n"; }
class Closer { var $name = "closer"; function done() { echo "method of $this->name\n"; } }
function late() { echo "registered during shutdown\n"; }
function registers() { echo "registering another\n"; register_shutdown_function("late"); }
function wrap($s) { return "<<" . $s . ">>"; }

var_dump(register_shutdown_function("say", "first", "with two arguments"));
register_shutdown_function("say", "second");
register_shutdown_function(array(new Closer, "done"));
register_shutdown_function("registers");
register_shutdown_function("defined_later");
register_shutdown_function("never_defined");
var_dump(register_shutdown_function(42), register_shutdown_function());
function defined_later() { echo "defined after registering\n"; }
ob_start("wrap");
echo "script output";
exit;
echo "not reached";
--REQUEST--
<?php
function after_fatal() { echo "after the fatal error: ", function_exists("after_fatal") ? "functions still there" : "gone", "\n"; }
function stops() { echo "exit in a shutdown function\n"; exit; }
function skipped() { echo "not reached\n"; }
register_shutdown_function("after_fatal");
register_shutdown_function("stops");
register_shutdown_function("skipped");
call_to_nothing();
--REQUEST--
<?php
echo "the next request has no shutdown functions left\n";
--EXPECTF--
NULL

Warning: register_shutdown_function(): Invalid shutdown callback '42' passed in %s on line 14

Warning: Wrong parameter count for register_shutdown_function() in %s on line 14
bool(false)
NULL
<<script outputshutdown: first with two arguments
shutdown: second 
method of closer
registering another
defined after registering

Warning: (Registered shutdown functions) Unable to call never_defined() - function does not exist in Unknown on line 0
registered during shutdown
>>
Fatal error: Call to undefined function: call_to_nothing() in %s on line 8
after the fatal error: functions still there
exit in a shutdown function
the next request has no shutdown functions left
