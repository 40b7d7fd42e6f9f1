<?php
class Theme {
    var $colours = array("bg" => "black", "fg" => "grey", "link" => "cyan");
    function name() { return "dark"; }
    function contrast() { return "low"; }
}
$theme_file = "dark";
