<?php
$f = "twice_again";
function twice_again(&$v) { }
$f("literal");
