<?php
echo "calls a missing function\n";
no_such_function();
echo "never printed\n";
