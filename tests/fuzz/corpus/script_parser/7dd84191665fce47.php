<?php
echo "next request fine\n";
