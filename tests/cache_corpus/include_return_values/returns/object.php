<?php
class Settings { var $values = array("a" => 1); function get($k) { return $this->values[$k]; } }
$s = new Settings();
$s->values["b"] = 2;
return $s;
