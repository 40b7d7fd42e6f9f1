<?php
function warn_divide($a, $b) {
    return $a / $b;
}
function missing_index() {
    $a = array("x" => 1);
    return $a["y"] . $undefined_var;
}
class Thing {
    var $limit = UNDEFINED_LIMIT;
    var $list = array(UNDEFINED_KEY => UNDEFINED_VALUE);
    function show() { return $this->limit . "/" . implode(",", array_keys($this->list)) . "/" . $this->nothing; }
}
function statics_undefined() {
    static $s = NOT_DEFINED_EITHER;
    return $s;
}
function defaults_undefined($a = DEFAULT_MISSING) {
    return $a;
}
function trigger_from_lib() {
    trigger_error("from the library", E_USER_WARNING);
    trigger_error("a notice", E_USER_NOTICE);
}
function call_missing() {
    return no_such_function(1);
}
