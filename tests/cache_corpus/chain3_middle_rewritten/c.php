<?php
class C extends B {
    var $own = "c";
    function chain() { return "C>" . parent::chain(); }
}
