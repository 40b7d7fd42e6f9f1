<?php
$conf_name = "site";
function conf_dir() { return basename(getcwd()); }
return "site conf";
