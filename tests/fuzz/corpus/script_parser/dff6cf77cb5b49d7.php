<?php
function util_join($parts) { return implode("-", $parts); }
