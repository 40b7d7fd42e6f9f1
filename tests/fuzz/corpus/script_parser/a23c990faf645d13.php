<?php
$c = new stdClass;
var_dump($c instanceof stdClass);
