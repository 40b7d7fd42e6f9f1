<?php
class Top extends Mid {
    var $top = true;
    function describe() { return "Top[" . parent::describe() . "]"; }
}
