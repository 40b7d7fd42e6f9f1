<?php
$s = "a"; $s++; echo $s, " ";
$s = "Az"; $s++; echo $s, " ";
$s = "zz"; $s++; echo $s, " ";
$s = "a9"; $s++; echo $s, " ";
$s = "9"; $s++; var_dump($s);
echo __LINE__, " ", basename(__FILE__), "\n";
function leave() { echo "leaving\n"; exit; }
leave();
echo "never";
