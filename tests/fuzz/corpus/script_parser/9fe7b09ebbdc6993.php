<?php
$data = array("name" => "data", "list" => array(1, 2, 3, 4));
