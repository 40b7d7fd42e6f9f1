<?php
class Base {
    var $label = "app two";
    var $width = 200;
    function kind() { return "kind of app2"; }
    function frame($s) { return "<" . $s . ">"; }
}
