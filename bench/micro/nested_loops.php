<?php
// iterations: 11390625
// Six nested for loops of 15 rounds, an increment inside.
function nested($n) {
    $x = 0;
    for ($a = 0; $a < $n; $a++)
        for ($b = 0; $b < $n; $b++)
            for ($c = 0; $c < $n; $c++)
                for ($d = 0; $d < $n; $d++)
                    for ($e = 0; $e < $n; $e++)
                        for ($f = 0; $f < $n; $f++)
                            $x++;
    return $x;
}
echo nested(15), "\n";
