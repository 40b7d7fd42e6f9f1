<?php
function uses() {
    $x = 1;
    return f(g($x), 1) . f($x, new_obj(2)) . h(array(1), strlen("x"));
}
class K { function m() { return f(k_call(g($y)), "z"); } }
function nested() { return strlen(f("lit", 2)); }
echo "calls loaded\n";
