#!/usr/bin/php
<?php
function &r(&$a, $b = array(K => 1, -2 => "x")) { static $s = array(A => B); global $g; return $a; }
class C extends D { var $p = array(1, K => array()); function C() { parent::C(); C::m(); $x = &new C; } }
