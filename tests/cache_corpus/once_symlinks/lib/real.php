<?php
$real_runs = isset($real_runs) ? $real_runs + 1 : 1;
function real_thing() { return "real " . basename(__FILE__); }
