<?php function lib_f() { return "f"; }
