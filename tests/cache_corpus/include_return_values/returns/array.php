<?php
return array("db" => array("host" => "localhost", "ports" => array(3306, 3307)), "debug" => false);
