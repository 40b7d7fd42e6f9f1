<?php
function bump(&$n) { $n++; return $n; }
