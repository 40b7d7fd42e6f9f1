--TEST--
Session functions: a second session_start, destroying without a session, ids a script sets, session_name, session_regenerate_id, session_decode, cookie parameters, cache limiter, objects and references kept across requests, a save path that does not exist
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
class Cart { var $items = array(); function add($i) { $this->items[] = $i; } }
var_dump(session_destroy());
var_dump(session_id(), session_name('SHOPID'), session_name());
session_save_path(getcwd());
session_id('bad id!');
session_start();
var_dump(session_id() != 'bad id!', strlen(session_id()));
session_start();
$cart = new Cart; $cart->add('apple');
$_SESSION['cart'] = $cart;
$_SESSION['total'] = 3;
$_SESSION['also_total'] = &$_SESSION['total'];
$old = session_id();
var_dump(session_regenerate_id(), session_id() != $old);
file_put_contents(getcwd() . '/current_id', session_id());
var_dump(session_get_cookie_params());
session_set_cookie_params(3600, '/shop', 'example.com');
$p = session_get_cookie_params(); echo $p['lifetime'], ' ', $p['path'], ' ', $p['domain'], "\n";
var_dump(session_cache_limiter(), session_cache_limiter('private'), session_cache_limiter());
--REQUEST--
<?php
error_reporting(E_ALL);
class Cart { var $items = array(); function add($i) { $this->items[] = $i; } }
$_COOKIE['SHOPID'] = file_get_contents(getcwd() . '/current_id');
session_name('SHOPID');
session_save_path(getcwd());
session_start();
echo get_class($_SESSION['cart']), ' ', implode(',', $_SESSION['cart']->items), "\n";
$_SESSION['also_total'] = 10;
echo $_SESSION['total'], "\n";
var_dump(session_decode('added|s:3:"yes";!skipped|broken|i:1'));
echo $_SESSION['added'], ' ', isset($_SESSION['skipped']) ? 'set' : 'unset', "\n";
session_destroy();
var_dump(session_decode('x|i:1;'), session_encode());
--REQUEST--
<?php
session_save_path(getcwd() . '/no/such/dir');
session_id('abc');
session_start();
$_SESSION['lost'] = 1;
echo "end of script\n";
--EXPECTF--

Warning: session_destroy(): Trying to destroy uninitialized session in %s on line %d
bool(false)
string(0) ""
string(9) "PHPSESSID"
string(6) "SHOPID"

Warning: session_start(): The session id contains illegal characters, valid characters are a-z, A-Z, 0-9 and '-,' in %s on line %d
bool(true)
int(32)

Notice: A session had already been started - ignoring session_start() in %s on line %d
bool(true)
bool(true)
array(4) {
  ["lifetime"]=>
  int(0)
  ["path"]=>
  string(1) "/"
  ["domain"]=>
  string(0) ""
  ["secure"]=>
  bool(false)
}
3600 /shop example.com
string(7) "nocache"
string(7) "nocache"
string(7) "private"
cart apple
10
bool(true)
yes unset

Warning: session_encode(): Cannot encode non-existent session. in %s on line %d
bool(false)
bool(false)

Warning: session_start(): open(%s/no/such/dir/sess_abc, O_RDWR) failed: No such file or directory (2) in %s on line %d
end of script

Warning: Unknown: open(%s/no/such/dir/sess_abc, O_RDWR) failed: No such file or directory (2) in Unknown on line 0

Warning: Failed to write session data (files). Please verify that the current setting of session.save_path is correct (%s/no/such/dir) in Unknown on line 0
