<?php
class Controller {
    var $theme = array("dark", array("accent" => "red"));
    var $site = "site2";
    var $routes = array("home" => "/index", "shop" => "/shop", "cart" => "/cart");
    function title() { return "Site Two"; }
    function render($page) { return "{" . $this->title() . "|" . $page . "}"; }
    function footer() { return "site2 footer"; }
}
