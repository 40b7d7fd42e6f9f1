<?php
function plugin_name() { return "plugin one"; }
return "loaded";
