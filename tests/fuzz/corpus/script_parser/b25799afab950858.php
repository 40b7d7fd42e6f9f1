<?php
var_dump(define("GREETING", "hi"), GREETING, defined("GREETING"), defined("NOPE"), constant("GREETING"));
var_dump(define("GREETING", "again"));
var_dump(define("ci_const", 5, true), CI_CONST, constant("ci_const"));
var_dump(define("BAD", array(1)));
var_dump(constant("MISSING"));
var_dump(E_ALL, E_WARNING | E_NOTICE, PHP_EOL, PHP_OS, M_PI > 3.14 && M_PI < 3.15, STR_PAD_LEFT, SORT_STRING);
function helper() {}
class Widget { function spin() {} }
$w = new Widget();
var_dump(function_exists("helper"), function_exists("HELPER"), function_exists("strlen"), function_exists("nothing"));
var_dump(class_exists("widget"), class_exists("Gadget"), method_exists($w, "spin"), method_exists($w, "fly"), method_exists("x", "y"));
$old = error_reporting(E_ALL);
var_dump($old == (E_ALL & ~E_NOTICE), error_reporting());
echo $undefined_variable;
error_reporting($old);
echo $undefined_variable, "(no notice)\n";
var_dump(ini_get("include_path"), ini_set("include_path", "lib"), ini_get("include_path"), ini_set("no_such_setting", "1"));
include "inc.php";
var_dump(set_include_path("."), get_include_path());
var_dump(@include "inc.php");
ob_start();
echo "captured";
var_dump(ob_get_level(), ob_get_length());
$text = ob_get_clean();
echo "[", str_replace("\n", "|", $text), "]\n";
ob_start(); echo "outer "; ob_start(); echo "inner"; ob_end_clean(); echo "kept"; ob_end_flush(); echo "\n";
var_dump(ob_get_clean(), ob_end_clean());
header("X-Test: 1"); header("X-Test: 2"); header("X-Other: 3", false);
var_dump(headers_sent());
strlen();
substr("x");
