<?php
$site = "example";
$_GET = array("page" => "2");
$_SERVER = array("SCRIPT_NAME" => "/index.php");
$_SESSION = array();
echo gettype($GLOBALS), " ", is_array($GLOBALS) ? "is_array" : "no", "\n";
function inspect() {
    $local = 1;
    echo gettype($GLOBALS), " ", $GLOBALS["site"], " ", isset($GLOBALS["local"]) ? "local leaked" : "only globals", "\n";
    $names = array();
    foreach ($GLOBALS as $name => $value) if ($name != "GLOBALS") $names[] = $name;
    echo implode(",", $names), "\n";
    echo $_GET["page"], " ", $_SERVER["SCRIPT_NAME"], "\n";
    $_SESSION["user"] = "ann";
    $_GET["added"] = "yes";
    $GLOBALS["created"] = "by function";
    unset($_GET["page"]);
    $name = "_GET";
    return isset($$name) ? "variable variables stay local" : "no local \$_GET";
}
echo inspect(), "\n";
echo $_SESSION["user"], " ", implode(",", array_keys($_GET)), " ", $created, "\n";
echo count($GLOBALS) == count(array_keys($GLOBALS)) ? "countable\n" : "odd\n";
echo isset($GLOBALS["GLOBALS"]) ? "contains itself\n" : "no self\n";
function drop_server() { unset($_SERVER); }
drop_server();
var_dump(isset($_SERVER));
function copy_globals() { $g = $GLOBALS; return $g["site"]; }
echo copy_globals(), "\n";
