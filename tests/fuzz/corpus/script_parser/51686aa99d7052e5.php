<?php
function deep() { echo "in deep\n"; die("dying words\n"); }
deep();
echo "not reached\n";
