<?php
class Article extends Page {
    var $page = "article";
    function title() { return "Article on " . parent::title(); }
}
