<?php
$conf = include "conf.php";
return "<header>" . $conf["name"] . "/" . $conf["colour"] . "</header>";
