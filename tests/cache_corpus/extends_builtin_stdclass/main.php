<?php
// Classes built on the engine's own stdClass.
include "record.php";
include "sub.php";
$r = new Record();
$s = new SubRecord();
$o = (object)array("k" => "v");
echo $r->describe(), " ", $s->describe(), " ", get_class($o), " ", implode(",", get_class_methods("subrecord")), "\n";
