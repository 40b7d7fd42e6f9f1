<?php
class Point { var $x = 1; }
var_dump(brisko_heap_set("app", "int", 42));
brisko_heap_set("app", "float", 0.25);
brisko_heap_set("app", "bool", false);
brisko_heap_set("app", "null", null);
brisko_heap_set("app", "bytes", "a\0b\0");
brisko_heap_set("app", "nested", array("name" => "brisko", "list" => array(1, 2, array("deep" => "yes")), 7 => "seven"));
brisko_heap_set("app", "object", new Point());
brisko_heap_set("app", "objects", array(new Point(), "kept", new Point()));
echo "stored\n";
