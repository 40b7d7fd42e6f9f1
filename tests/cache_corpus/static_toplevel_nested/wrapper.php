<?php
$where = "wrapper";
include "counter.php";
