<?php
class Base {
    var $label = "app one";
    function kind() { return "kind of app1"; }
    function frame($s) { return "[" . $s . "]"; }
}
