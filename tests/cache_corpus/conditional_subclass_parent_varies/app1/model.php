<?php
class Model {
    var $table = "users";
    function save() { return "app1 saves " . $this->table; }
    function find($id) { return "app1 finds " . $id; }
}
