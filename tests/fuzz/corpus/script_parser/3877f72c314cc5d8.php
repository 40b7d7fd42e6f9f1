<?php
var_dump(ini_get("include_path"), error_reporting());
include "found.php";
ob_start();
phpinfo();
$info = ob_get_clean();
echo strpos($info, "Server API => cgi") !== false ? "cgi in phpinfo\n" : $info;
echo $notice_shown_now;
