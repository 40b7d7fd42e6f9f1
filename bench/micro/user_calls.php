<?php
// iterations: 5000000
// A user function of one argument with an empty body.
function nothing($a) {
}
$n = 5000000;
for ($i = 0; $i < $n; $i++) {
    nothing("hello");
}
echo $i, "\n";
