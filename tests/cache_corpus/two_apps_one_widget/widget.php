<?php
class Widget extends Base {
    var $width = 100;
    function render() { return $this->frame("widget"); }
}
