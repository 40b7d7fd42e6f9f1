<?php
function swap($a, &$b) { $t = $a; $a = $b; $b = $t; return $a; }
