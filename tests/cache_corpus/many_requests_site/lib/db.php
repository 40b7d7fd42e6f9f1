<?php
class Db {
    var $rows = array(
        "news" => array(array("id" => 1, "title" => "First"), array("id" => 2, "title" => "Second")),
        "users" => array(array("id" => 1, "name" => "ann"), array("id" => 2, "name" => "bob"), array("id" => 3, "name" => "cy")),
    );
    var $queries = 0;
    function &instance() { static $db = null; if ($db === null) { $db = new Db(); } return $db; }
    function all($table) { $this->queries++; return $this->rows[$table]; }
}
