<?php
if (!class_exists("User")) {
    class User extends Model {
        var $role = "member";
        function find($id) { return "user: " . parent::find($id); }
    }
}
