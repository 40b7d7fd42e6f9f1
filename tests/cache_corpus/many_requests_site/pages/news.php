<?php
class NewsPage extends Controller {
    var $title = "News";
    function run() { foreach ($this->db->all("news") as $n) { $this->block($n["title"]); } return $this->render(); }
}
