<?php
class Plugin {
    var $name = "plugin";
    var $hooks = array("init" => array("boot"));
    function run() { return $this->name . ":" . implode("+", $this->hooks["init"]); }
}
