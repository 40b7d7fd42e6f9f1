<?php
function twice(&$v) { $v *= 2; }
echo "compiles\n";
twice(21);
echo "not reached\n";
