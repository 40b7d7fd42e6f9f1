<?php
class Record {
    var $id;
    var $made = array();
    function Record($id = 0) { $this->id = $id; $this->made[] = "Record(" . $id . ")"; }
}
