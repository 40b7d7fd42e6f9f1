<?php
function counter() {
    static $n = 0, $log = array();
    $n++;
    $log[] = $n;
    return $n . ":" . count($log);
}
counter(); counter();
echo counter(), "\n";
$total = 10;
function add_total($v) { global $total; $total += $v; return $total; }
add_total(5);
echo add_total(1), " ", $total, "\n";
function make_global() { global $fresh; $fresh = "made"; }
make_global();
echo $fresh, "\n";
class K { function tick() { static $t = 100; return ++$t; } }
$k1 = new K; $k2 = new K;
$k1->tick();
echo $k2->tick(), "\n";
static $top = 5;
echo $top, "\n";
