<?php
class User extends Model {
    var $login;
    var $visits = 1;
    function User($login) { $this->Model(); $this->login = $login; }
    function name() { return "user " . $this->login; }
}
