<?php
class SafeCalc extends Calc {
    function ratio($n, $d) {
        if ($d == 0) { return "n/a"; }
        return parent::ratio($n, $d);
    }
}
function unset_var() {
    return $never_set . "!";
}
echo "child.php top ", $undefined_at_top, "\n";
