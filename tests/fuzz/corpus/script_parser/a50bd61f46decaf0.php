<?php
echo "must not run\n";
