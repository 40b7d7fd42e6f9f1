<?php
class Draft extends Post {
    var $draft = true;
}
class StaticPage extends Page {
}
class Article extends Post {
    function Article() { $this->made[] = "Article without parent call"; }
}
