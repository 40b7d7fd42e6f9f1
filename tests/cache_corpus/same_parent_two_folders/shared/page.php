<?php
class Page extends Controller {
    var $page = "page";
    function render($page) { return "page " . parent::render($page . "!"); }
}
