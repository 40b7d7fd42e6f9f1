<?php
class Child extends Base {
    var $own = "mine";
    var $size = 10;
    function viaParent() { return parent::inherited(); }
}
