<?php
class UsersPage extends NewsPage {
    var $title = "Users";
    function run() { foreach ($this->db->all("users") as $u) { $this->block(ucfirst($u["name"])); } $this->db->all("news"); return $this->render(); }
}
