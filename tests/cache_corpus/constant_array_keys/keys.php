<?php
class Keyed {
    var $map = array(KEY => "value");
}
function keyed_static() { static $s = array(KEY => 1); return implode(",", array_keys($s)); }
function keyed_default($a = array(KEY => 1)) { return implode(",", array_keys($a)); }
