--TEST--
Session settings through ini_get, ini_set and ini_restore hold for the running request only
--ARGS--
-n --repeat 2
--FILE--
<?php
var_dump(ini_get('session.name'), ini_get('session.gc_maxlifetime'), ini_get('session.nothing'));
var_dump(ini_set('session.name', 'SID2'), ini_get('session.name'), session_name());
var_dump(ini_set('session.gc_maxlifetime', '60'), ini_get('session.gc_maxlifetime'));
ini_restore('session.name');
var_dump(session_name(), ini_set('session.bogus', 'x'));
--EXPECT--
string(9) "PHPSESSID"
string(4) "1440"
bool(false)
string(9) "PHPSESSID"
string(4) "SID2"
string(4) "SID2"
string(4) "1440"
string(2) "60"
string(9) "PHPSESSID"
bool(false)
string(9) "PHPSESSID"
string(4) "1440"
bool(false)
string(9) "PHPSESSID"
string(4) "SID2"
string(4) "SID2"
string(4) "1440"
string(2) "60"
string(9) "PHPSESSID"
bool(false)
