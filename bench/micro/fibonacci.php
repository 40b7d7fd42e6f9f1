<?php
// fibonacci(30), recursively: user function calls and returns.
function fibonacci($n) {
    return $n < 2 ? 1 : fibonacci($n - 2) + fibonacci($n - 1);
}
echo fibonacci(30), "\n";
