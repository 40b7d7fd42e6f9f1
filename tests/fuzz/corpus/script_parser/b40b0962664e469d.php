<?php
function strlen($s) { return 0; }
