<?php
echo "once ran\n";
function oncefunc() { return "oncefunc"; }
