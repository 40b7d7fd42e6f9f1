<?php
echo "runs after the missing one\n";
