<?php
echo "never printed: compile fails first\n";
class C {}
class c {}
