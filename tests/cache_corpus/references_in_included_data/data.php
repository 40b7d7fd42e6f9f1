<?php
$tree = array("a" => array("b" => array("c" => 1)), "list" => array(1, 2, 3));
$leaf =& $tree["a"]["b"]["c"];
$alias =& $tree["list"];
function &find(&$t, $k1, $k2) { return $t[$k1][$k2]; }
function append_all(&$arr, $v) { foreach (array_keys($arr) as $k) { $arr[$k] .= $v; } }
