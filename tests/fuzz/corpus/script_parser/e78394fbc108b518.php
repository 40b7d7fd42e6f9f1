<?php
$fromlib = "lib sees $outer";
function libfunc() { return "libfunc"; }
return "returned";
