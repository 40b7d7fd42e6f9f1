<?php
// A method's statics belong to its op array: an override has its own, an
// inherited method and parent:: calls share the parent's, static calls too.
include "base.php";
include "sub.php";
include "subsub.php";
$objs = array(new Ticker(), new LoudTicker(), new LouderTicker(), new LoudTicker());
$out = array();
foreach ($objs as $o) { $out[] = $o->tick(); }
foreach ($objs as $o) { $out[] = $o->seq(); }
$out[] = Ticker::tick();
$out[] = LouderTicker::seq();
echo implode(" ", $out), "\n";
