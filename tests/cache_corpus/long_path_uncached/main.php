<?php
// A file whose resolved path is longer than the cache keeps: it works the
// same, compiled on every include.
$dir = "";
for ($i = 0; $i < 12; $i++) {
    $dir .= ($i ? "/" : "") . "directory_level_" . $i . "_with_a_long_name";
    if (!is_dir($dir)) { mkdir($dir); }
}
if (!file_exists("$dir/deep.php")) {
    file_put_contents("$dir/deep.php", '<?php
if (!function_exists("deep")) {
    function deep() { static $n = 0; return "deep" . ++$n; }
}
return strlen(__FILE__) > 300 ? "long" : "short";
');
}
$a = include "$dir/deep.php";
$b = include "$dir/deep.php";
echo $a, " ", $b, " ", deep(), deep(), " ", strlen(realpath($dir)) > 255 ? "over 255" : "under", "\n";
