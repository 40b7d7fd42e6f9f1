<?php
// Templates of mixed text and code included under output buffering.
include "render.php";
$page = render("layout.php", array("title" => "A & B", "menu" => array("Home" => "/", "News" => "/news"), "content" => "hello"));
echo strlen($page), "\n", $page;
echo render("layout.php", array("title" => "<none>", "menu" => array(), "content" => render("layout.php", array("title" => "inner", "menu" => false, "content" => "x"))));
