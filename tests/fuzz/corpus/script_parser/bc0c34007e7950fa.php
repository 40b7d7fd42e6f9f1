<?php
echo "ends normally\n";
