<?php
$conf_from[] = "A";
return array("name" => "site A", "colour" => "red");
