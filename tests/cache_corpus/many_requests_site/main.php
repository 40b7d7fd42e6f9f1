<?php
// A small site served many times: the request number picks the page,
// and each page needs a different set of files.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
require_once "lib/db.php";
require_once "lib/controller.php";
$pages = array("home", "news", "users", "news", "home", "users", "users");
$page = $pages[$request % count($pages)];
if ($page == "users") { require_once "pages/news.php"; }
require_once "pages/$page.php";
$class = ucfirst($page) . "Page";
$p = new $class();
echo $request, " ", $page, ": ", $p->run(), "\n";
