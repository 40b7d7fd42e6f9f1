<?php
// The catalogue, a page at a time (?page=N): a repeat block of books, each
// with a repeat block of reviews inside it.
$compiled_at_start = zend_compilations();
$started = microtime();
include "../lib/common.php";
include "../lib/books.php";
$library_compiled = zend_compilations() - $compiled_at_start;

$per_page = 8;
$view = books_page(isset($_GET["page"]) ? (int)$_GET["page"] : 1, $per_page);
$page = $view["page"];
$pages = $view["pages"];
$first = ($page - 1) * $per_page;

$layout = site_layout("Catalogue", "/catalogue.php");
$list = brisko_template_load("../templates/catalogue.tpl");
brisko_template_assign_array($list, array("total" => $view["total"], "reviews" => $view["reviews"],
    "page" => $page, "pages" => $pages, "first" => $first + 1,
    "data_origin" => site_escape($view["origin"])));

$i = 0;
foreach ($view["books"] as $book) {
    $item = brisko_template_fetch($list, "book*", $i);
    brisko_template_assign_array($item, array("number" => $first + $i + 1,
        "title" => site_escape($book["title"]), "author" => site_escape($book["author"]),
        "year" => $book["year"], "price" => "$" . $book["price"]));
    $r = 0;
    foreach ($book["reviews"] as $review) {
        brisko_template_fetch_assign_array($item, "review*", $r, array(
            "stars" => str_repeat("&#9733;", $review["stars"]) . str_repeat("&#9734;", 5 - $review["stars"]),
            "text" => site_escape($review["text"]), "reviewer" => site_escape($review["reviewer"])));
        $r++;
    }
    if ($r == 0) {
        brisko_template_fetch($item, "noreview*", 0);
    }
    $i++;
}

if ($page > 1) {
    brisko_template_fetch_assign($list, "prev*", 0, "n", $page - 1);
}
for ($n = 1; $n <= $pages; $n++) {
    brisko_template_fetch_assign_array($list, "pagelink*", $n - 1,
        array("n" => $n, "class" => $n == $page ? "current" : ""));
}
if ($page < $pages) {
    brisko_template_fetch_assign($list, "next*", 0, "n", $page + 1);
}
site_finish($layout, $list, $compiled_at_start, $library_compiled, $started);
