<?php
class User { var $name = "from user.php"; }
function user_helper() { return "helper"; }
