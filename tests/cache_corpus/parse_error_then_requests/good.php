<?php
function good() { static $n = 0; return "good" . ++$n; }
