<?php
// A template included from a method sees $this and the method's locals,
// and text outside the tags is output.
include "view.php";
$v = new View();
echo $v->render("list.tpl.php");
$v->items[] = "d";
echo $v->render("list.tpl.php");
echo $v->title, "\n";
