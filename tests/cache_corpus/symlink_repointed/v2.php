<?php
function version() { return "two"; }
$version_file = basename(__FILE__);
