<?php
class Ticker {
    function tick() { static $t = 0; $t++; return "T" . $t; }
    function seq() { static $s = array(); $s[] = count($s); return implode("", $s); }
}
