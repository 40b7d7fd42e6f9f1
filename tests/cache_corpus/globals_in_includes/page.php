<?php
global $config, $counter;
$counter += 10;
$local_to_page = count($config["pages"]);
return $config["site"] . ":" . $local_to_page;
