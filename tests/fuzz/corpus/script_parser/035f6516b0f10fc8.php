<?php
echo "start\n";
function f() {}
function F() {}
