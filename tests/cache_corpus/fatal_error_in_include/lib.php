<?php
function lib() { return "lib"; }
class LibThing { var $x = array(1, 2); }
