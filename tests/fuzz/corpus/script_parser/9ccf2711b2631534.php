<?php
echo sprintf("[%s] [%5s] [%-5s] [%05d] [%-5d] [%'*8s] [%.2s]", "x", "ab", "ab", 42, 42, "pad", "abcdef"), "\n";
echo sprintf("[%d] [%d] [%+d] [%+d] [%05d] [%u]", "12abc", -7, 5, -5, -42, 3), "\n";
echo sprintf("[%f] [%.2f] [%8.3f] [%-8.1f] [%08.2f] [%.0f]", 3.14159, 2.675, 3.14159, 2.5, -3.14159, 2.5), "\n";
echo sprintf("[%x] [%X] [%o] [%b] [%c] [%e] [%.2e] [%%]", 255, 255, 8, 5, 65, 1234.5, 0.000123), "\n";
echo sprintf('[%2$s %1$s] [%1$05d]', 7, "seven"), "\n";
echo sprintf("%s|%s|%s|%s", true, false, null, 1.0), "\n";
$n = printf("%s=%d\n", "answer", 42);
echo $n, "\n";
var_dump(sprintf("%d %d", 1));
echo number_format(1234.567), "|", number_format(1234.567, 2), "|", number_format(0.5), "|", number_format(-1234.567, 1), "|", number_format(1234.5, 2, ',', ' '), "|", number_format(1000), "|", number_format(999.999, 2), "\n";
echo number_format(1, 2, 3), "\n";
