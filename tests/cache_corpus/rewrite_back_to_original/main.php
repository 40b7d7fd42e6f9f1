<?php
// A file changed and then put back as it was: each version is compiled
// when it appears, and the restored text is not confused with the first.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 1) {
    file_put_contents("original.txt", file_get_contents("settings.php"));
}
if ($request == 2) {
    file_put_contents("settings.php", '<?php
function setting($k) {
    $all = array("mode" => "changed", "level" => 2, "new" => true);
    return $all[$k];
}
');
}
if ($request == 3) {
    file_put_contents("settings.php", file_get_contents("original.txt"));
}
include "settings.php";
echo $request, ": ", setting("mode"), " ", setting("level"), "\n";
