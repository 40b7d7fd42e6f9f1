<?php
require_once "base.php";
require_once "branch.php";
$loaded_by = "loader";
