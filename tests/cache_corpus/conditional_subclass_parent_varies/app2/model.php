<?php
class Model {
    var $fields = array("id", "name", array("meta" => 1));
    var $table = "accounts";
    function find($id) { return "app2 finds #" . $id; }
    function save() { return "app2 stores " . $this->table . " (" . count($this->fields) . ")"; }
    function delete() { return "app2 deletes"; }
}
