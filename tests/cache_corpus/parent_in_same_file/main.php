<?php
// Parents declared earlier in the same file, and a grandchild in another.
include "models.php";
include "manager.php";
$m = new Manager();
$m->reports[] = new Employee();
$p = new Person();
echo $m->greet(), " | ", $p->greet(), " | ", get_parent_class($m), "<", get_parent_class("employee"), "<", get_parent_class("person"), "\n";
echo implode(",", get_class_methods("manager")), " ", implode(",", array_keys(get_object_vars($m))), "\n";
