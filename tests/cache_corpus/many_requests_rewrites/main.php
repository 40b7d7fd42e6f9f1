<?php
// A generated configuration file rewritten every fifth request, over
// fifteen requests; its subclass's file never changes.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request % 5 == 0) {
    $g = $request / 5;
    file_put_contents("config.php", "<?php\n\$config_generation = $g;\nclass Limits {\n    var \$max = " . ($g * 3) . ";\n    function allows(\$n) { return \$n <= \$this->max; }\n}\n");
}
include "config.php";
include "service.php";
$s = new Service();
echo $request, ": gen ", $config_generation, " ", $s->check(4), " ", $s->check(8), "\n";
