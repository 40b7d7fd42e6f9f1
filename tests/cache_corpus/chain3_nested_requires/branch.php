<?php
class Branch extends Node {
    var $label = "branch";
    function render() { return "<" . parent::render() . ">"; }
}
