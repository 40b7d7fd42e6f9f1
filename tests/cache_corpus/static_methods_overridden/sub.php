<?php
class LoudTicker extends Ticker {
    function tick() { static $t = 100; $t++; return "L" . $t . "(" . parent::tick() . ")"; }
}
