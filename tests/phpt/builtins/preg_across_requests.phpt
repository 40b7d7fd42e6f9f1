--TEST--
Compiled patterns are kept for the process: later requests reuse them; a callback that ends the request with a fatal error leaves the next request working
--ARGS--
-n
--FILE--
<?php
function up($m) { return strtoupper($m[0]); }
echo preg_replace_callback('/b(\w)/', 'up', 'abc abd'), "\n";
var_dump(preg_match('/(x)(y)?/u', 'x', $m), $m);
function dies($m) { undefined_function_here(); }
echo preg_replace_callback('/a/', 'dies', 'banana');
echo "not reached\n";
--REQUEST--
<?php
function up($m) { return strtoupper($m[0]) . '!'; }
echo preg_replace_callback('/b(\w)/', 'up', 'abc abd'), "\n";
var_dump(preg_match('/(x)(y)?/u', 'x', $m), $m);
echo preg_replace('/a/', 'o', 'banana'), "\n";
--EXPECTF--
aBC aBD
int(1)
array(2) {
  [0]=>
  string(1) "x"
  [1]=>
  string(1) "x"
}

Fatal error: Call to undefined function: undefined_function_here() in %s on line %d
aBC! aBD!
int(1)
array(2) {
  [0]=>
  string(1) "x"
  [1]=>
  string(1) "x"
}
bonono
