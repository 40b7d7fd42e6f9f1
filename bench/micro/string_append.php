<?php
// iterations: 4000000
// A string grown by appends.
$s = '';
$n = 4000000;
while ($n-- > 0) {
    $s .= "hello\n";
}
echo strlen($s), "\n";
