<?php
class Base {
    var $n = 0;
    function describe() { return get_class($this) . "#" . $this->n; }
}
function lib_calls() { static $calls = 0; return ++$calls; }
