<?php
$conf_name = "admin";
return "admin conf";
