--TEST--
Option values may be attached: --repeat=N, --sapi=NAME, -dNAME=VALUE; "--" ends the options
--ARGS--
-n --repeat=2 --sapi=cgi -dinclude_path=lib --
--INCLUDE-- lib/part.php
<?php echo "part from lib\n"; ?>
--FILE--
<?php
include "part.php";
echo ini_get("include_path"), " ", php_sapi_name(), " ", phpversion(), " ", zend_version(), "\n";
--EXPECT--
part from lib
lib cgi 4.3.11 1.1.0a
part from lib
lib cgi 4.3.11 1.1.0a
