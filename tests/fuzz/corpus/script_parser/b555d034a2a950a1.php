<?php
class K { function m($a, &$b) { } }
$k = new K;
$k->m(1, $ok);
echo "first argument by value is fine\n";
$k->m(1, "two");
