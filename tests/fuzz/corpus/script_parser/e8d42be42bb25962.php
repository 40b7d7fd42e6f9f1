<?php
$n = isset($n) ? $n + 1 : 1;
echo "first request, fresh globals: $n\n";
