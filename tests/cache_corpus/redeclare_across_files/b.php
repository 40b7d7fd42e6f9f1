<?php
function format_price($p) { return $p . " EUR"; }
function b_only() { return "b"; }
