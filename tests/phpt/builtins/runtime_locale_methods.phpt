--TEST--
Runtime functions old scripts call first: setlocale (the C locale only; other locales false, bad category names refused), localeconv, set_magic_quotes_runtime (off succeeds, on refused with a warning), extension_loaded, get_loaded_extensions, connection_status/aborted, ignore_user_abort, call_user_method and call_user_method_array on the caller's object, escapeshellarg, escapeshellcmd, gettimeofday
--ARGS--
--FILE--
<?php
error_reporting(E_ALL);
var_dump(setlocale(LC_ALL, 'C'), setlocale(LC_ALL, 'de_DE'), setlocale(LC_TIME, array('de_DE@euro', 'de_DE', 'C')), setlocale(LC_ALL, 0), setlocale("LC_ALL", ""), setlocale("BOGUS", "C"));
$l = localeconv(); echo $l['decimal_point'], count($l), count($l['grouping']), "\n";
var_dump(set_magic_quotes_runtime(0), set_magic_quotes_runtime(1), get_magic_quotes_runtime());
var_dump(extension_loaded('standard'), extension_loaded('mysql'), in_array('standard', get_loaded_extensions()));
var_dump(connection_status(), connection_aborted(), ignore_user_abort(true), CONNECTION_NORMAL);
class Counter { var $n = 0; function add($k, $m = 1) { $this->n += $k * $m; return $this->n; } }
$c = new Counter;
var_dump(call_user_method('add', $c, 5), call_user_method_array('add', $c, array(2, 10)), $c->n);
$five = 5; var_dump(call_user_method('nope', $c), call_user_method('add', $five));
echo escapeshellarg("it's a \"test\""), " ", escapeshellcmd("ls -l; rm -rf * 'x' > /dev/null"), "\n";
$t = gettimeofday(); var_dump(abs($t['sec'] - time()) <= 1, $t['usec'] < 1000000, count($t));
--EXPECTF--

Warning: setlocale(): Invalid locale category name BOGUS, must be one of LC_ALL, LC_COLLATE, LC_CTYPE, LC_MONETARY, LC_NUMERIC, or LC_TIME. in %s on line %d
string(1) "C"
bool(false)
string(1) "C"
string(1) "C"
string(1) "C"
bool(false)
.180

Warning: set_magic_quotes_runtime(): magic_quotes_runtime is not supported by this engine in %s on line %d
bool(true)
bool(false)
int(0)
bool(true)
bool(false)
bool(true)
int(0)
int(0)
int(0)
int(0)
int(5)
int(25)
int(25)

Warning: Unable to call nope() in %s on line %d

Warning: call_user_method(): Second argument is not an object or class name in %s on line %d
NULL
NULL
'it'\''s a "test"' ls -l\; rm -rf \* \'x\' \> /dev/null
bool(true)
bool(true)
int(4)
