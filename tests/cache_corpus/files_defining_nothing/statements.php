<?php
$semicolons = true;;;
;
