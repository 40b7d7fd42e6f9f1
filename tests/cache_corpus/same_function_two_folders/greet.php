<?php
function greet($who) { return t("hello") . ", " . $who . " (" . lang() . ")"; }
function part() { return t("bye"); }
