--TEST--
parse_ini_file: settings, sections, quoted values, keywords, constants, comments, bare words, a missing file and a malformed line
--ARGS--
-n
--INCLUDE-- app.ini
; the application's settings
# also a comment
title = "My Site; the best"
debug = On
cache = off
empty = none
path = /var/www ; trailing comment
level = E_ALL
unknown_const = NOT_DEFINED_HERE
bare word line
[database]
host = localhost
port = 3306
title = "overridden in flat mode"
[paths]
upload = "/tmp/up"
--FILE--
<?php
error_reporting(E_ALL);
var_dump(parse_ini_file('app.ini'));
print_r(parse_ini_file('app.ini', true));
var_dump(parse_ini_file('missing.ini'));
$f = fopen('bad.ini', 'w'); fwrite($f, "a = 1\n= 2\nb = 3\n"); fclose($f);
var_dump(parse_ini_file('bad.ini'));
$f = fopen('bad2.ini', 'w'); fwrite($f, "a = 1\n[open\nb = 3\n"); fclose($f);
var_dump(count(parse_ini_file('bad2.ini', true)));
parse_ini_file();
--EXPECTF--
array(10) {
  ["title"]=>
  string(23) "overridden in flat mode"
  ["debug"]=>
  string(1) "1"
  ["cache"]=>
  string(0) ""
  ["empty"]=>
  string(0) ""
  ["path"]=>
  string(8) "/var/www"
  ["level"]=>
  string(4) "2047"
  ["unknown_const"]=>
  string(16) "NOT_DEFINED_HERE"
  ["host"]=>
  string(9) "localhost"
  ["port"]=>
  string(4) "3306"
  ["upload"]=>
  string(7) "/tmp/up"
}
Array
(
    [title] => My Site; the best
    [debug] => 1
    [cache] => 
    [empty] => 
    [path] => /var/www
    [level] => 2047
    [unknown_const] => NOT_DEFINED_HERE
    [database] => Array
        (
            [host] => localhost
            [port] => 3306
            [title] => overridden in flat mode
        )

    [paths] => Array
        (
            [upload] => /tmp/up
        )

)

Warning: parse_ini_file(): Cannot open 'missing.ini' for reading in %s on line 5
NULL

Warning: Error parsing bad.ini on line 2 in %s on line 7
array(1) {
  ["a"]=>
  string(1) "1"
}

Warning: Error parsing bad2.ini on line 2 in %s on line 9
int(1)

Warning: Wrong parameter count for parse_ini_file() in %s on line 10
