<?php
$trail[] = "deepest";
$inner = 5;
return 5;
