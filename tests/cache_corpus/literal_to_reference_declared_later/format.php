<?php
function fmt($a, $b) { return $a . "-" . $b; }
function swap($a, $b) { return $b . $a; }
