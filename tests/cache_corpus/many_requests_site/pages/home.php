<?php
class HomePage extends Controller {
    var $title = "Home";
    function run() { $this->block("welcome"); return $this->render(); }
}
