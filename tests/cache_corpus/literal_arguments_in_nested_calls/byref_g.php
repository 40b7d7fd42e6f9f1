<?php
echo "byref_g loaded\n";
