<?php
// A file broken in the first request is fixed before the second.
$request = (int)@file_get_contents("request.txt") + 1;
file_put_contents("request.txt", $request);
if ($request == 2) {
    file_put_contents("page.php", '<?php
function page() { return "page v2"; }
');
}
$ok = include "page.php";
echo $request, ": ", $ok ? page() : "include failed", "\n";
