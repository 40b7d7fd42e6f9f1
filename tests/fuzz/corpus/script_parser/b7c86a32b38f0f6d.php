<?php
$c = "Nope";
$x = new $c(1);
