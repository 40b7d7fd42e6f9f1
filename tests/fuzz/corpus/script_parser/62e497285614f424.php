<?php
include "part.php";
echo ini_get("include_path"), " ", php_sapi_name(), " ", phpversion(), " ", zend_version(), "\n";
