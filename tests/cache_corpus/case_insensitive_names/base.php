<?php
class MixedCaseBase {
    function SayHello() { return "Hello"; }
    function WHO() { return "base"; }
}
function MixedFunction($x) { return "mf" . $x; }
