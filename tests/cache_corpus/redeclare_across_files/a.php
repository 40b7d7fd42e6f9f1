<?php
function format_price($p) { return "$" . $p; }
