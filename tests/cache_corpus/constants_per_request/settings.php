<?php
class Settings {
    var $limit = LIMIT;
    var $label = LABEL;
    var $table = array("limit" => LIMIT, "nested" => array(LABEL, LIMIT), "fixed" => 5);
    function describe() { return $this->label . "=" . $this->limit . " " . implode(",", $this->table["nested"]); }
}
function capped($n, $cap = LIMIT) { return $n > $cap ? $cap : $n; }
function first_label() { static $l = LABEL; static $both = array(LABEL, LIMIT); return $l . "/" . implode(":", $both); }
