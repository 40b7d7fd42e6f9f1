<?php
function level1() {
    function level2() {
        function level3() { return "level3"; }
        return "level2";
    }
    return "level1";
}
