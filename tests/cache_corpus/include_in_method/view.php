<?php
class View {
    var $title = "Title";
    var $items = array("a", "b", "c");
    function render($template) {
        $count = count($this->items);
        ob_start();
        include $template;
        return ob_get_clean();
    }
}
