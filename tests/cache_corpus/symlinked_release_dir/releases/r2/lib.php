<?php
function lib_version() { return "lib-r2"; }
