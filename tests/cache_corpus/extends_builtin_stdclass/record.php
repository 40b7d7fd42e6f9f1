<?php
class Record extends stdClass {
    var $kind = "record";
    function describe() { return get_class($this) . "<" . get_parent_class($this) . ">" . $this->kind; }
}
