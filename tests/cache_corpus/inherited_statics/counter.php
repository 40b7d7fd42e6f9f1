<?php
class Counter {
    function next() { static $n = 0; $n++; return $n; }
}
class Registry {
    var $hits = 0;
    function &getInstance() {
        static $instance = null;
        if ($instance === null) { $instance = new Registry(); }
        return $instance;
    }
}
