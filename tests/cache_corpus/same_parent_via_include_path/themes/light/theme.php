<?php
class Theme {
    var $colours = array("bg" => "white", "fg" => "black");
    function name() { return "light"; }
}
$theme_file = "light";
