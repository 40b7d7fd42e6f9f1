<?php
// Two sites declare their own Controller in their own folder; the page
// classes built on it are shared, two levels deep.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
$site = ($request % 3 == 1) ? "site1" : "site2";
require "$site/base.php";
require "shared/page.php";
require "shared/article.php";
$a = new Article();
echo $request, " ", $site, ": ", $a->render($a->page), " ", count($a->routes), " ", method_exists($a, "footer") ? $a->footer() : "-", "\n";
echo "   ", implode(",", array_keys(get_object_vars($a))), " | ", implode(",", get_class_methods("article")), "\n";
