<?php
function hits() { static $n = 0; $n++; return $n; }
function remember($v) {
    static $seen = array("first" => null, "all" => array());
    if ($seen["first"] === null) { $seen["first"] = $v; }
    $seen["all"][] = $v;
    return $seen["first"] . "/" . count($seen["all"]);
}
function fib_memo($n) {
    static $memo = array(0 => 0, 1 => 1);
    if (!isset($memo[$n])) { $memo[$n] = fib_memo($n - 1) + fib_memo($n - 2); }
    return $memo[$n];
}
