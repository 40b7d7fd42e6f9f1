--TEST--
gethostbyname, gethostbynamel, gethostbyaddr on the local host and on names and addresses that resolve to nothing; mail() without a delivery program
--ARGS--
-n
--FILE--
<?php
error_reporting(E_ALL);
// names that fail without asking any server: a label longer than DNS allows, an empty name
$bad = str_repeat("x", 70) . ".invalid";
var_dump(gethostbyname("localhost"), gethostbyname("127.0.0.1"));
var_dump(gethostbyname($bad) === $bad, gethostbyname(""), gethostbyname("local\0host") === "local\0host");
var_dump(gethostbynamel("127.0.0.1"), in_array("127.0.0.1", gethostbynamel("localhost")));
var_dump(gethostbynamel($bad), gethostbynamel(""));
$name = gethostbyaddr("127.0.0.1");
var_dump(is_string($name) && $name != "");
var_dump(gethostbyaddr("300.1.1.1"), gethostbyaddr("not an address"), gethostbyaddr(""), gethostbyaddr("127.0.0.1\0x"));
var_dump(gethostbyname(), gethostbynamel("a", "b"), gethostbyaddr());

echo "-- mail\n";
var_dump(mail("someone@example.com", "Subject", "Body"));
var_dump(mail("someone@example.com", "Subject", "Body", "From: me@example.com", "-fme@example.com"));
var_dump(mail("a", "b"));
--EXPECTF--
string(9) "127.0.0.1"
string(9) "127.0.0.1"
bool(true)
string(0) ""
bool(true)
array(1) {
  [0]=>
  string(9) "127.0.0.1"
}
bool(true)
bool(false)
bool(false)
bool(true)

Warning: gethostbyaddr(): Address is not a valid IPv4 or IPv6 address in %s on line 11

Warning: gethostbyaddr(): Address is not a valid IPv4 or IPv6 address in %s on line 11

Warning: gethostbyaddr(): Address is not a valid IPv4 or IPv6 address in %s on line 11

Warning: gethostbyaddr(): Address is not a valid IPv4 or IPv6 address in %s on line 11
bool(false)
bool(false)
bool(false)
bool(false)

Warning: Wrong parameter count for gethostbyname() in %s on line 12

Warning: Wrong parameter count for gethostbynamel() in %s on line 12

Warning: Wrong parameter count for gethostbyaddr() in %s on line 12
NULL
NULL
NULL
-- mail

Warning: mail(): Could not execute mail delivery program '/usr/sbin/sendmail -t -i' in %s on line 15
bool(false)

Warning: mail(): Could not execute mail delivery program '/usr/sbin/sendmail -t -i' in %s on line 16
bool(false)

Warning: Wrong parameter count for mail() in %s on line 17
NULL
