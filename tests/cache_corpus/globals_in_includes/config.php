<?php
$config = array("site" => "brisko", "pages" => array("home", "news"));
$GLOBALS["config"]["pages"][] = "contact";
$counter = isset($counter) ? $counter + 1 : 1;
function config_get($k) { global $config; return $config[$k]; }
function config_set($k, $v) { $GLOBALS["config"][$k] = $v; }
function bump() { global $counter; $counter++; return $counter; }
