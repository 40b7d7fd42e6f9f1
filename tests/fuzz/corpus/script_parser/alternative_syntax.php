<?php
if ($a): elseif ($b): else: endif;
while (0): endwhile; for (;;): break; endfor; foreach ($a as $k => $v): endforeach;
switch ($x): case "a": default: endswitch;
do { continue 1; } while (0);
