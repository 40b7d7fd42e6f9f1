<?php
for ($i = 0; $i < 4; $i++) {
    if ($i == 0) echo "zero";
    elseif ($i == 1) echo "one";
    else if ($i == 2) echo "two";
    else echo "many";
    echo ",";
}
echo "\n";
$n = 0;
while ($n < 10) { $n++; if ($n % 2) continue; if ($n > 6) break; echo $n; }
echo "\n";
$d = 5;
do { echo $d--; } while ($d > 0);
do { echo "once"; } while (false);
echo "\n";
for ($i = 0; $i < 3; $i++) {
    for ($j = 0; $j < 3; $j++) {
        if ($j == 1) continue 2;
        if ($i == 2) break 2;
        echo "$i$j ";
    }
}
echo "\n";
for ($i = 0, $j = 10; $i < $j; $i += 3, $j -= 3) echo "$i-$j ";
echo "\n";
for (;;) { echo "forever"; break; }
echo "\n";
$k = 3;
while ($k--) :
    echo $k;
endwhile;
echo "\n";
