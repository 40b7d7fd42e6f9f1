<?php
require_once dirname(__FILE__) . "/tools.php";
function more() { return "more+" . tool(); }
