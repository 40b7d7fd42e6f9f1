<?php
function counter() { static $n = 0; return ++$n; }
echo counter(), counter(), "\n";
