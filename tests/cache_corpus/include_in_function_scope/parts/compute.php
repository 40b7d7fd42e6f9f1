<?php
$result = $input * 2;
$scratch = "local to the includer";
global $total;
$total += $result;
$GLOBALS["last_input"] = $input;
return $result + 1;
