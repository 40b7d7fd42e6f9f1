<?php
$s = <<<EOT
A $a[k] $o->p {$b[1][2]} ${c} \x41 \101 "q"
EOT;
$t = <<<E
E;
echo <<<X
last
X
;
