<?php
class Child extends Base {
    function both() { return $this->v() . " (" . $this->v . ")"; }
}
