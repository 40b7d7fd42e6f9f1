<?php
class Service extends Limits {
    function check($n) { return $n . ($this->allows($n) ? "<=" : ">") . $this->max; }
}
