<?php
function guard_check($request) { return $request % 3 != 2; }
if (!guard_check($request)) {
    echo "guard: stopping request ", $request, "\n";
    exit;
}
echo "guard: passed, ";
