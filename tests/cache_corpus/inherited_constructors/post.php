<?php
class Post extends Record {
    var $title = "untitled";
}
class Page extends Record {
    function Page($id, $title) { parent::Record($id * 10); $this->title = $title; $this->made[] = "Page"; }
}
