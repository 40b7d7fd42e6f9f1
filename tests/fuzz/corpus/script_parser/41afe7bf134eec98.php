<?php
$mode = "fancy";
if ($mode == "fancy") {
    function style($s) { return "*" . $s . "*"; }
    class Box { var $content = array("a", "b"); function show() { return "[" . implode("|", $this->content) . "]"; } }
} else {
    function style($s) { return $s; }
}
function outer() {
    function inner() { return "inner"; }
    return "outer";
}
echo style("x"), "\n";
$b = new Box();
echo $b->show(), "\n";
echo outer(), " ", inner(), "\n";
echo function_exists("style") ? "yes" : "no", "\n";
