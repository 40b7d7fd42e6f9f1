<?php
// Subclasses declared by calling a function, of a parent from another
// file; which loaders run depends on the request.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "base.php";
include "loader.php";
$out = array();
if ($request != 2) { load_cache_plugin(); $p = new CachePlugin(); $out[] = $p->run(); }
if ($request >= 2) { load_log_plugin(); $p = new LogPlugin(); $out[] = $p->run(); $out[] = get_parent_class($p); }
echo $request, ": ", implode(" ", $out), "\n";
