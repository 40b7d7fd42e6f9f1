<?php
// A file of hundreds of functions and a few classes, written by the first
// request and included by every request.
if (!file_exists("big.php")) {
    $src = "<?php\n";
    for ($i = 0; $i < 300; $i++) {
        $src .= "function gen_f$i(\$x, \$y = $i) {\n    static \$calls = 0;\n    \$calls++;\n";
        $src .= "    \$t = array('i' => $i, 'sq' => " . ($i * $i) . ", 'name' => 'f$i');\n";
        $src .= "    return \$x * \$y + \$t['sq'] + \$calls;\n}\n";
    }
    for ($c = 0; $c < 20; $c++) {
        $parent = $c > 0 ? " extends GenClass" . ($c - 1) : "";
        $src .= "class GenClass$c$parent {\n    var \$p$c = array($c, array('k' => $c));\n";
        for ($m = 0; $m < 10; $m++) {
            $src .= "    function m{$c}_$m() { return $c * 100 + $m; }\n";
        }
        $src .= "    function who() { return 'GenClass$c'; }\n}\n";
    }
    file_put_contents("big.php", $src);
}
include "big.php";
$sum = 0;
for ($i = 0; $i < 300; $i += 7) {
    $f = "gen_f$i";
    $sum += $f(2) + $f(1, 1);
}
$o = new GenClass19();
echo $sum, " ", $o->who(), " ", $o->m0_5() + $o->m19_9() + $o->m10_0(), " ", count(get_class_methods("genclass19")), " ", count(get_object_vars($o)), " ", strlen(file_get_contents("big.php")), "\n";
