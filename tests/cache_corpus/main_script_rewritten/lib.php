<?php
function lib_say($s) { return "lib says " . $s; }
