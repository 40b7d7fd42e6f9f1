<?php
function by_value($a) { $a .= "+changed"; }
function by_ref(&$a) { $a .= "+changed"; }
$s = "s";
by_value($s);
echo $s, "\n";
by_value(&$s);
echo $s, "\n";
$arr = array("k" => "v");
by_value(&$arr["k"]);
echo $arr["k"], "\n";
class Box {
    var $items = array();
    function Box(&$log) { $log[] = "constructed"; }
    function add($list, $item) { $list[] = $item; }
    function fill($list) { $list[] = "filled"; }
}
$log = array();
$box = new Box($log);
$list = array();
$box->add(&$list, "one");
Box::fill(&$list);
echo implode(",", $log), " ", implode(",", $list), "\n";
// call results and new are variable-like: they may go to a reference parameter
function make() { return array("made"); }
echo implode(",", array_merge(make(), array())), " ", count(make()), " ", end(make()), "\n";
by_ref(make());
by_ref(new Box($log));
echo count($log), "\n";
// an internal function taking a reference: sort() sorts the caller's array
$nums = array(3, 1, 2);
sort($nums);
echo implode($nums), "\n";
$dyn = "by_ref";
$d = "d";
$dyn($d);
echo $d, "\n";
