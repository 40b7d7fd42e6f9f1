<?php
class SignupForm extends Form {
    var $extra = array("captcha" => array("on" => true, "tries" => array(3, 5)));
    function addField($n) { $this->fields[$n] = array("type" => "text", "rules" => array()); return count($this->fields); }
}
