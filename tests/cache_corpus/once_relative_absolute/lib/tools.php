<?php
$tools_runs = isset($tools_runs) ? $tools_runs + 1 : 1;
function tool() { return "tool"; }
return "tools loaded";
