<?php
class Controller {
    var $title = "Site";
    var $view = array("layout" => "default", "blocks" => array());
    function Controller() { $this->db =& Db::instance(); }
    function block($b) { $this->view["blocks"][] = $b; }
    function render() { return "<" . $this->title . "|" . implode(",", $this->view["blocks"]) . "|q" . $this->db->queries . ">"; }
}
