<?php
class Controller {
    var $site = "site1";
    var $routes = array("home" => "/", "about" => "/about");
    function title() { return "Site One"; }
    function render($page) { return "[" . $this->title() . ":" . $page . "]"; }
}
