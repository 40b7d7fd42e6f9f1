<?php
echo "second request sees no variable from the first: ", isset($n) ? "wrong" : "right", "\n";
