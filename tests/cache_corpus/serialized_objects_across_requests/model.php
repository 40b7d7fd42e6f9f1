<?php
class Model {
    var $id = 0;
    var $tags = array();
    var $visits = 0;
    function Model() { $this->id = 7; }
    function name() { return "model"; }
    function __sleep() { return array("id", "tags", "visits", "login"); }
    function __wakeup() { $this->woken = true; }
}
