<?php
// A site that writes a file of a new name in every request, includes it
// and deletes it, beside library files that never change, over more
// requests than the cache keeps entries before it looks for outdated
// ones: the libraries stay cached throughout.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
include "lib.php";
$name = "generated_" . $request . ".php";
file_put_contents($name, "<?php\nfunction generated_" . $request . "() { return " . ($request * 7) . "; }\nclass Generated" . $request . " extends Base { var \$n = " . $request . "; }\n");
include $name;
unlink($name);
$class = "Generated" . $request;
$o = new $class();
$f = "generated_" . $request;
if ($request % 30 == 0 || $request > 265) {
    echo $request, ": ", $f(), " ", $o->describe(), " ", lib_calls(), "\n";
}
