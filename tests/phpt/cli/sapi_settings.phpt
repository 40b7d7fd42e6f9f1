--TEST--
--sapi names the server interface; -d sets include_path and error_reporting
--ARGS--
-n --sapi cgi -d include_path=lib:other -d error_reporting=2047
--INCLUDE-- lib/found.php
<?php echo "found along include_path\n"; ?>
--FILE--
<?php
var_dump(ini_get("include_path"), error_reporting());
include "found.php";
ob_start();
phpinfo();
$info = ob_get_clean();
echo strpos($info, "Server API => cgi") !== false ? "cgi in phpinfo\n" : $info;
echo $notice_shown_now;
--EXPECTF--
string(9) "lib:other"
int(2047)
found along include_path
cgi in phpinfo

Notice: Undefined variable: notice_shown_now in %s on line 8
