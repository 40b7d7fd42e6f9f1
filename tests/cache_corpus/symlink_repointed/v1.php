<?php
function version() { return "one"; }
$version_file = basename(__FILE__);
