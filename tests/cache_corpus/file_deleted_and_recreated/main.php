<?php
// A cached file disappears, then comes back with other contents.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 2) {
    file_put_contents("saved.txt", file_get_contents("plugin.php"));
    unlink("plugin.php");
}
if ($request == 3) {
    file_put_contents("plugin.php", '<?php
function plugin_name() { return "plugin two"; }
return "reloaded";
');
}
$r = @include "plugin.php";
echo $request, ": ", var_export($r, true), " ", function_exists("plugin_name") ? plugin_name() : "no plugin", " ", file_exists("plugin.php") ? "present" : "absent", "\n";
