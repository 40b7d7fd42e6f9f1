<?php
class Registry {
    var $values = array();
    function &getInstance() {
        static $instance = null;
        if ($instance === null) { $instance = new Registry(); }
        return $instance;
    }
    function &getNamed($class) {
        static $named = array();
        if (!isset($named[$class])) { $named[$class] = new $class(); }
        return $named[$class];
    }
    function set($k, $v) { $this->values[$k] = $v; }
    function dump() { return get_class($this) . "{" . implode(",", array_keys($this->values)) . "}"; }
}
