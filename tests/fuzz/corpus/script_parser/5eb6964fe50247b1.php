<?php
echo "second\n";
exit;
