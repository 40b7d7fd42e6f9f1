<?php
$conf_from[] = "B";
return array("name" => "site B", "colour" => "blue", "beta" => true);
