<?php
echo "runs until the call\n";
later(1 + 2);
function later(&$v) { }
